#!/usr/bin/env bash
# Sets up, builds the benchmarks of bench/ (Release, into ./build-release or
# $BENCH_BUILD_DIR), runs every one of them in turn and prints one table in
# Markdown: figure, value, target and the ratio against the benchmark's floor.
#
# A benchmark reports its figures as tab-separated lines on standard output
# (bench/BenchFigure.h):
#   FIGURE <name> <value> <unit> <target> <ratio>
# Its whole output is kept in $BENCH_BUILD_DIR/bench-logs/<name>.log. A
# benchmark that fails or reports no figure gets a row saying so, and the
# script then exits non-zero. BENCH_SKIP_BUILD=1 runs what is built already.
set -euo pipefail
cd "$(dirname "$0")/.."
BENCH_BUILD_DIR="${BENCH_BUILD_DIR:-build-release}"
if [ -z "${BENCH_SKIP_BUILD:-}" ]; then
  bash scripts/setup.sh
  cmake -S . -B "$BENCH_BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DOOA_BUILD_GUI=OFF >/dev/null
  # Every executable target of bench/ is named bench_<name>; the stand-ins and
  # the service are built too, since a benchmark may start them as its shop or
  # printer, or measure the service itself.
  all="$(ninja -C "$BENCH_BUILD_DIR" -t targets all)"
  mapfile -t targets < <(sed -n 's/^\(bench_[A-Za-z0-9_]*\): phony$/\1/p' <<< "$all" | sort -u)
  [ "${#targets[@]}" -gt 0 ] || { echo "No benchmark targets found in $BENCH_BUILD_DIR" >&2; exit 1; }
  for tool in shop-standin printer-standin online-order-adaptor; do
    if grep -q "^$tool: phony$" <<< "$all"; then targets+=("$tool"); fi
  done
  echo "Building ${targets[*]} ..." >&2
  cmake --build "$BENCH_BUILD_DIR" -j"$(nproc)" --target "${targets[@]}" >&2
fi

mapfile -t benches < <(find "$BENCH_BUILD_DIR/bench" -type f -name 'bench_*' -perm -u+x | sort)
[ "${#benches[@]}" -gt 0 ] || { echo "No benchmarks built in $BENCH_BUILD_DIR/bench" >&2; exit 1; }
logs="$BENCH_BUILD_DIR/bench-logs"
mkdir -p "$logs"

load="$(cut -d' ' -f1 /proc/loadavg)"
tree="$(git rev-parse --short HEAD 2>/dev/null || echo "this tree")"
git diff --quiet HEAD 2>/dev/null || tree+=" with changes not committed"
failed=0
rows=()
for exe in "${benches[@]}"; do
  name="$(basename "$exe")"
  echo "Running $name ..." >&2
  status=0
  "$exe" > "$logs/$name.log" 2>&1 || status=$?
  found=0
  while IFS=$'\t' read -r tag figure value unit target ratio; do
    [ "$tag" = FIGURE ] || continue
    found=1
    [ "$target" != - ] || target=""
    [ "$ratio" != - ] || ratio=""
    rows+=("| $figure | $value $unit | $target | $ratio | $name |")
  done < "$logs/$name.log"
  if [ "$status" -ne 0 ] || [ "$found" -eq 0 ]; then
    failed=1
    why="no figures reported"
    [ "$status" -eq 0 ] || why="failed with status $status"
    rows+=("| ($why, see $logs/$name.log) | | | | $name |")
  fi
done

cpu="$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1)"
type="$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$BENCH_BUILD_DIR/CMakeCache.txt" 2>/dev/null)"
echo "Benchmarks of $tree, $(date -u '+%Y-%m-%d %H:%M UTC'):" \
  "${cpu:-unknown CPU}, $(nproc) cores available, $(uname -sr), ${type:-default} build," \
  "load average $load when the run began"
echo
echo "| Figure | Value | Target | Ratio to floor | Benchmark |"
echo "|---|---|---|---|---|"
printf '%s\n' "${rows[@]}"
exit "$failed"
