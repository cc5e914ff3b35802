#!/usr/bin/env bash
# Makes the Debian package of qrpview from build/ (built when needed):
#
#   bash scripts/package.sh            -> build/qrpview_<version>_<arch>.deb
#
# and checks it: the files a desktop install needs are in it, and its
# dependencies were computed from the programs. Install it with
#   sudo apt-get install ./build/qrpview_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

bash scripts/build.sh
(cd build && cpack -G DEB >/dev/null)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/CMakeCache.txt)
deb=$(ls build/qrpview_"$version"_*.deb)
echo "$deb"

# The package's files and dependencies.
contents=$(dpkg-deb -c "$deb" | awk '{print $NF}')
expected=(
  ./usr/bin/qrpview
  ./usr/bin/qrptool
  ./usr/share/man/man1/qrpview.1
  ./usr/share/man/man1/qrptool.1
  ./usr/share/applications/qrpview.desktop
  ./usr/share/mime/packages/qrpview.xml
  ./usr/share/icons/hicolor/scalable/apps/qrpview.svg
  ./usr/share/icons/hicolor/48x48/apps/qrpview.png
)
status=0
for path in "${expected[@]}"; do
  if ! grep -qxF "$path" <<<"$contents"; then
    echo "package.sh: $deb lacks $path" >&2
    status=1
  fi
done
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libqt6printsupport6 libcups2 libpng16-16 libfontconfig1 libc6 fonts-symbola fonts-urw-base35; do
  if ! grep -q "\b$library\b" <<<"$depends"; then
    echo "package.sh: $deb does not depend on $library (Depends: $depends)" >&2
    status=1
  fi
done
exit $status
