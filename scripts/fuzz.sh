#!/usr/bin/env bash
# Fuzzes the readers with libFuzzer for SECONDS per harness:
#
#   bash scripts/fuzz.sh TARGET SECONDS     TARGET: fuzz_report_file, fuzz_emf_trace,
#                                           fuzz_emf_raster, fuzz_dib or all
#
# Installs clang and the project's packages when missing, builds build-fuzz/
# (QRP_FUZZ: readers under ASan and UBSan), makes seed corpora from
# examples/*.qrp and ../shared/corpus, and runs each harness. The corpus each
# run grows is kept in build-fuzz/corpus/<harness>/ for the next run; a crashing
# or too slow input is saved in build-fuzz/crashes/<harness>/ and the script
# exits non-zero. Inputs worth keeping go to fuzz/regressions/<kind>/ (report,
# emf or dib), which the unit tests replay; those of findings not fixed yet go
# to its open/.
#
# QRP_FUZZ_SANITIZERS=undefined (say) builds build-fuzz-undefined/ instead:
# several times the executions per second for long campaigns, sharing corpus
# and crashes with build-fuzz/. Replay that corpus under ASan afterwards with
# a short run of the default build, which reads the whole corpus first.
set -euo pipefail
cd "$(dirname "$0")/.."

harnesses=(fuzz_report_file fuzz_emf_trace fuzz_emf_raster fuzz_dib)
usage() {
  echo "usage: $0 fuzz_report_file|fuzz_emf_trace|fuzz_emf_raster|fuzz_dib|all SECONDS" >&2
  exit 2
}
[ $# -eq 2 ] || usage
[[ "$2" =~ ^[1-9][0-9]*$ ]] || usage
seconds=$2
if [ "$1" = all ]; then
  targets=("${harnesses[@]}")
elif [[ " ${harnesses[*]} " == *" $1 "* ]]; then
  targets=("$1")
else
  usage
fi

# Seeds and inputs beyond this size make the fuzzer slower rather than wiser.
max_len=131072
sanitizers=${QRP_FUZZ_SANITIZERS:-address,undefined}
build_dir=build-fuzz
[ "$sanitizers" = address,undefined ] || build_dir=build-fuzz-${sanitizers//,/-}
# Findings and the grown corpus are kept in one place whichever build found them.
work_dir=build-fuzz

install_clang() {
  local missing=()
  for package in clang-14 libclang-rt-14-dev; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get -o DPkg::Lock::Timeout=300 update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=300 install -y -q --no-install-recommends \
    "${missing[@]}"
}
install_clang
bash scripts/install-deps.sh

cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 -DQRP_FUZZ=ON \
  -DQRP_FUZZ_SANITIZERS="$sanitizers" -DQRP_BUILD_TESTS=OFF -DQRP_BUILD_BENCH=OFF >/dev/null
cmake --build "$build_dir" -j2 --target fuzzers

# Seeds: the bundled report files and, when it is there, the shared corpus of recordings.
seeds=$work_dir/seeds
rm -rf "$seeds"
inputs=(examples/*.qrp)
if [ -d ../shared/corpus ]; then
  mapfile -t corpus_files < <(find ../shared/corpus -name '*.emf' -o -name '*.qrp' | sort)
  inputs+=("${corpus_files[@]}")
else
  echo "../shared/corpus is absent: seeding from examples/*.qrp only"
fi
"$build_dir/fuzz/fuzz_make_seeds" --max-size "$max_len" "$seeds" "${inputs[@]}"

# The kind of input a harness reads: its seeds and kept inputs go by it.
input_kind() {
  case $1 in
    fuzz_report_file) echo report ;;
    fuzz_emf_trace | fuzz_emf_raster) echo emf ;;
    fuzz_dib) echo dib ;;
  esac
}

# Fontconfig's caches, which Qt never frees, are no leak of ours.
export LSAN_OPTIONS=suppressions=$PWD/fuzz/fontconfig_leaks.supp
# fuzz_report_file writes every input into a scratch file: keep it in memory when we can.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  export TMPDIR=/dev/shm
fi
failed=()
for target in "${targets[@]}"; do
  corpus=$work_dir/corpus/$target
  crashes=$work_dir/crashes/$target
  log=$work_dir/logs/$target.log
  kind=$(input_kind "$target")
  mkdir -p "$corpus" "$crashes" "$(dirname "$log")"
  # The kept inputs seed the run too; those of findings still open (regressions/<kind>/open/) stay out.
  kept=$seeds/kept/$kind
  mkdir -p "$kept"
  if [ -d fuzz/regressions/"$kind" ]; then
    find fuzz/regressions/"$kind" -maxdepth 1 -type f -exec cp -t "$kept" {} +
  fi
  echo "== $target: ${seconds} s"
  status=0
  "$build_dir/fuzz/$target" "$corpus" "$seeds/$kind" "$kept" \
    -max_total_time="$seconds" -max_len="$max_len" -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=512 \
    -artifact_prefix="$crashes/" -print_final_stats=1 >"$log" 2>&1 || status=$?
  # The last status line: executions, coverage (cov: edges, ft: features), corpus and speed.
  grep -E '^#[0-9]+' "$log" | tail -n 1 || true
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' "$log" || true
  if [ "$status" -ne 0 ]; then
    # The finding with its stack, the fonts' chatter left out.
    grep -v 'OpenType support missing' "$log" | grep -A 60 -E '^==[0-9]+==|^ALARM|timeout after' | head -n 80 || true
    grep -E 'Test unit written to' "$log" || true
    echo "$target FAILED (exit $status); log: $log" >&2
    failed+=("$target")
  fi
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "Crashing inputs are in $work_dir/crashes/: ${failed[*]}" >&2
  exit 1
fi
