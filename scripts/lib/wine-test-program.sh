# Sourced by the scripts that run the Windows edition's test programs under
# Wine. Before use set BUILD (the Windows build folder) and REPORTS (where the
# gtest reports go); EXCLUDE (an associative array: program -> gtest filter
# of tests left out) is optional. status becomes 1 when a program fails.
#
# wine_test_program PROGRAM [WRAPPER...]: runs PROGRAM.exe under Wine
# (through WRAPPER when given, e.g. xvfb-run) and checks its report. The
# report is written when the program reaches its end: a program that ends
# early, whatever its exit code, leaves none, and fails.
status="${status:-0}"
mkdir -p "$REPORTS"
wine_test_program() {
  local t="$1" exe report start
  shift
  exe="$(find "$BUILD/tests" -name "$t.exe" | head -1)"
  if [ -z "$exe" ]; then echo "$t.exe was not built" >&2; status=1; return; fi
  report="$REPORTS/$t.xml"
  rm -f "$report"
  local args=(--gtest_brief=1 "--gtest_output=xml:$report")
  local exclude=""
  if declare -p EXCLUDE >/dev/null 2>&1; then exclude="${EXCLUDE[$t]:-}"; fi
  [ -z "$exclude" ] || args+=("--gtest_filter=-$exclude")
  echo "== $t under Wine"
  start=$SECONDS
  if ! timeout 900 "$@" wine "$exe" "${args[@]}"; then
    echo "$t failed under Wine" >&2
    status=1
  elif [ ! -s "$report" ]; then
    echo "$t ended before its last test under Wine (no report)" >&2
    status=1
  fi
  echo "   ($((SECONDS - start)) s)"
}
