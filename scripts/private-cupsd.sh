#!/usr/bin/env bash
# A private CUPS daemon for the printing tests, apart from any system one.
#
#   private-cupsd.sh start [OWNER_PID]
#       Makes a fresh server root under the temporary directory, starts cupsd
#       there and prints the path of its socket: the value of CUPS_SERVER for
#       clients; the socket's directory is the server root. With OWNER_PID, a
#       watcher stops the daemon when that process ends, so a crashed test
#       leaves nothing running.
#   private-cupsd.sh stop SOCKET
#       Stops the daemon and its watcher and removes the server root.
#
# Exit status 77 means cupsd or its tools are not installed.
set -euo pipefail

usage() { echo "usage: $0 start [OWNER_PID] | stop SOCKET" >&2; exit 2; }
[ $# -ge 1 ] || usage
command=$1
root=

# cupsd lives in sbin, which an ordinary user's PATH may leave out.
PATH=$PATH:/usr/sbin:/sbin

# Ends the daemon and waits for it, so that it writes nothing into a removed root.
end_daemon() {
  kill "$1" 2>/dev/null || return 0
  for _ in $(seq 100); do
    kill -0 "$1" 2>/dev/null || return 0
    sleep 0.05
  done
}

stop() {
  # The watcher has nothing to clean up, so it goes at once.
  if [ -f "$root/watcher.pid" ]; then kill -9 "$(cat "$root/watcher.pid")" 2>/dev/null || true; fi
  if [ -f "$root/cupsd.pid" ]; then end_daemon "$(cat "$root/cupsd.pid")"; fi
  rm -rf "$root"
}

start() {
  local owner=${1:-}
  for tool in cupsd lpadmin lpstat; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed" >&2; exit 77; }
  done
  # When started by root, cupsd runs filters as an unprivileged user, who
  # must reach the spool and write temporary files: a root of our own that
  # everyone may enter (the test's own directories are private).
  root=$(mktemp -d "${TMPDIR:-/tmp}/qrp-cupsd.XXXXXX")
  mkdir -p "$root"/{spool,tmp,cache,state,log,ppd}
  chmod 755 "$root"
  chmod 1777 "$root/tmp"
  local socket=$root/cups.sock

  cat >"$root/cupsd.conf" <<EOF
Listen $socket
Browsing No
WebInterface No
DefaultAuthType None
IdleExitTimeout 0
LogLevel warn
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order allow,deny
    Allow all
  </Limit>
</Policy>
EOF
  local group=root
  [ "$(id -u)" -ne 0 ] && group=$(id -gn)
  cat >"$root/cups-files.conf" <<EOF
ServerRoot $root
RequestRoot $root/spool
TempDir $root/tmp
CacheDir $root/cache
StateDir $root/state
AccessLog $root/log/access_log
ErrorLog $root/log/error_log
PageLog $root/log/page_log
Printcap $root/printcap
FileDevice Yes
SystemGroup $group
EOF

  cupsd -f -c "$root/cupsd.conf" -s "$root/cups-files.conf" </dev/null >"$root/log/cupsd.out" 2>&1 &
  local daemon=$!
  echo "$daemon" >"$root/cupsd.pid"

  if [ -n "$owner" ]; then
    (
      while kill -0 "$owner" 2>/dev/null && kill -0 "$daemon" 2>/dev/null; do sleep 1; done
      end_daemon "$daemon"
      rm -rf "$root"
    ) </dev/null >/dev/null 2>&1 &
    echo $! >"$root/watcher.pid"
  fi

  for _ in $(seq 100); do
    if CUPS_SERVER=$socket lpstat -r 2>/dev/null | grep -q "is running"; then
      echo "$socket"
      return 0
    fi
    kill -0 "$daemon" 2>/dev/null || break
    sleep 0.1
  done
  echo "cupsd did not start:" >&2
  cat "$root/log/cupsd.out" "$root/log/error_log" >&2 2>/dev/null || true
  stop
  exit 1
}

case $command in
  start) start "${2:-}" ;;
  stop)
    [ $# -eq 2 ] || usage
    root=$(dirname "$2")
    # Only ever remove a server root this script made.
    [ -f "$root/cups-files.conf" ] && [ -f "$root/cupsd.pid" ] || { echo "$root is not a private cupsd root" >&2; exit 1; }
    stop ;;
  *) usage ;;
esac
