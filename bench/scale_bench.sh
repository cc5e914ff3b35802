#!/usr/bin/env bash
# Whole-command benchmark of qrptool render at scale: wall time and peak
# memory (the Maximum resident set size of GNU time) of
#   - the sample report at 300, 600, 1200 and 2400 dpi (-j 1 and every processor),
#   - a 3 m × 4 m page at 96 dpi (made by qrp_large_page),
#   - pages per second with -j 1 and -j 2: the sample report ten times over,
#     and the corpus's recordings packed into one report file,
#   - every recording of ../shared/corpus/emf-train rendered in one call, and
#     the Wine reference player on the same files right after
#     (../shared/tools/wine-gdi/render-wine.sh; skipped when wine is missing).
#
#   bash bench/scale_bench.sh [BUILD_DIR] [RUNS]      (default build, 3 runs)
#
# Each figure is the median of RUNS runs. Needs /usr/bin/time (package time).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
runs=${2:-3}
qrptool=$build/tools/qrptool/qrptool
large=$build/bench/qrp_large_page
corpus=$root/../shared/corpus
export QT_QPA_PLATFORM=offscreen
for program in "$qrptool" "$large" /usr/bin/time; do
  [ -x "$program" ] || { echo "scale_bench.sh: $program is missing (build the project first)" >&2; exit 2; }
done
work=$(mktemp -d "${TMPDIR:-/tmp}/qrp-scale-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

# measure LABEL PAGES COMMAND...: the median wall seconds and peak MB of RUNS runs.
measure() {
  local label=$1 pages=$2
  shift 2
  local seconds=() peaks=() status=0
  for ((run = 0; run < runs; run++)); do
    rm -rf "$work/out"
    /usr/bin/time -f '%e %M' -o "$work/time" "$@" >/dev/null 2>"$work/stderr" || status=$?
    # GNU time puts "Command exited with non-zero status N" before its figures.
    read -r wall kilobytes < <(tail -n 1 "$work/time")
    seconds+=("$wall")
    peaks+=("$kilobytes")
  done
  local wall peak note=""
  [ "$status" -ne 0 ] && note=" (exit $status)"
  wall=$(printf '%s\n' "${seconds[@]}" | sort -g | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}')
  peak=$(printf '%s\n' "${peaks[@]}" | sort -g | awk '{v[NR]=$1} END {printf "%.0f", v[int((NR+1)/2)] / 1024}')
  if [ "$pages" -gt 0 ]; then
    printf '%-44s %8.2f s %6s MB %8.1f pages/s%s\n' "$label" "$wall" "$peak" \
      "$(awk -v p="$pages" -v s="$wall" 'BEGIN {print p / s}')" "$note"
  else
    printf '%-44s %8.2f s %6s MB%s\n' "$label" "$wall" "$peak" "$note"
  fi
}

echo "qrptool render, median of $runs runs, $(nproc) processors"
sample=$root/examples/sample.qrp
for dpi in 300 600 1200 2400; do
  measure "sample, 3 pages, $dpi dpi, -j 1" 0 "$qrptool" render "$sample" --dpi "$dpi" -j 1 -o "$work/out"
  measure "sample, 3 pages, $dpi dpi, every processor" 0 "$qrptool" render "$sample" --dpi "$dpi" -o "$work/out"
done

"$large" "$work/large.emf" 3000 4000
measure "3 m x 4 m page, 96 dpi (11339 x 15118 px)" 0 "$qrptool" render "$work/large.emf" -o "$work/out"

# The sample ten times over: thirty pages.
"$qrptool" unpack "$sample" "$work/sample-pages" >/dev/null
pages=()
for ((copy = 0; copy < 10; copy++)); do pages+=("$work"/sample-pages/page-*.emf); done
"$qrptool" pack --compress "$work/sample30.qrp" "${pages[@]}"
for workers in 1 2; do
  measure "sample x10, 30 pages, 96 dpi, -j $workers" 30 "$qrptool" render "$work/sample30.qrp" -j "$workers" -o "$work/out"
  measure "sample x10, 30 pages, 300 dpi, -j $workers" 30 "$qrptool" render "$work/sample30.qrp" --dpi 300 -j "$workers" -o "$work/out"
done

if [ -d "$corpus" ]; then
  mapfile -t recordings < <(find "$corpus" -name '*.emf' ! -name 'bad_*' | LC_ALL=C sort)
  "$qrptool" pack --compress "$work/corpus.qrp" "${recordings[@]}"
  for workers in 1 2; do
    measure "corpus, ${#recordings[@]} pages, 96 dpi, -j $workers" "${#recordings[@]}" \
      "$qrptool" render "$work/corpus.qrp" -j "$workers" -o "$work/out"
  done

  train=("$corpus"/emf-train/*.emf)
  measure "emf-train, ${#train[@]} files in one call" "${#train[@]}" "$qrptool" render "${train[@]}" -o "$work/out"
  wine_script=$root/../shared/tools/wine-gdi/render-wine.sh
  if command -v wine >/dev/null && command -v x86_64-w64-mingw32-gcc >/dev/null && [ -f "$wine_script" ]; then
    # The first call builds the player and the wine prefix; it is not counted.
    bash "$wine_script" "$corpus/emf-train" "$work/wine-warm" >/dev/null 2>&1 || true
    measure "emf-train, Wine reference player" "${#train[@]}" bash "$wine_script" "$corpus/emf-train" "$work/out"
  else
    echo "emf-train, Wine reference player: skipped (wine or x86_64-w64-mingw32-gcc is not installed)"
  fi
else
  echo "corpus: skipped ($corpus is absent)"
fi
