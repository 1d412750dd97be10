#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang and runs each for a while.
#   bash scripts/fuzz.sh [seconds-per-target] [target ...]
# Default: 300 seconds for every target. The build lives in build-fuzz (or
# $FUZZ_BUILD_DIR); each target works on its own corpus there, seeded from
# fuzz/corpus/<target>/ and growing from run to run (the seeds in the tree are
# never changed). Fails when a target crashes, leaks, times out or runs out of
# memory; the input that did it lies in <build>/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."

SECONDS_PER_TARGET="${1:-300}"
shift || true
BUILD_DIR="${FUZZ_BUILD_DIR:-build-fuzz}"

if [ "$#" -gt 0 ]; then
  TARGETS=("$@")
else
  TARGETS=()
  for f in fuzz/fuzz_*.cpp; do
    TARGETS+=("$(basename "$f" .cpp)")
  done
fi

# -O1 with assertions on: quicker to build, and assertions are findings too.
CC=clang CXX=clang++ cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_C_FLAGS_DEBUG="-O1 -g" -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" \
  -DOOA_BUILD_GUI=OFF -DOOA_FUZZ=ON -DOOA_BUILD_TESTS=OFF -DOOA_BUILD_BENCH=OFF >/dev/null
cmake --build "$BUILD_DIR" -j2 --target "${TARGETS[@]}"

mkdir -p "$BUILD_DIR/artifacts" "$BUILD_DIR/logs"
failed=()
for t in "${TARGETS[@]}"; do
  corpus="$BUILD_DIR/corpus/$t"
  mkdir -p "$corpus"
  [ -d "fuzz/corpus/$t" ] && cp -n "fuzz/corpus/$t"/* "$corpus"/ 2>/dev/null || true
  args=(-max_total_time="$SECONDS_PER_TARGET" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1
        -artifact_prefix="$BUILD_DIR/artifacts/$t-")
  [ -f "fuzz/$t.dict" ] && args+=(-dict="fuzz/$t.dict")
  log="$BUILD_DIR/logs/$t.log"
  echo "== $t: ${SECONDS_PER_TARGET}s"
  if "$BUILD_DIR/fuzz/$t" "${args[@]}" "$corpus" >"$log" 2>&1; then
    grep -E '^stat::number_of_executed_units|^Done ' "$log" | tail -1 || true
  else
    echo "!! $t failed; the end of its log ($log):"
    tail -40 "$log"
    failed+=("$t")
  fi
done

if [ "${#failed[@]}" -gt 0 ]; then
  echo "Fuzzing found problems in: ${failed[*]} (inputs in $BUILD_DIR/artifacts/)"
  exit 1
fi
echo "Fuzzing: no problems found in ${TARGETS[*]}"
