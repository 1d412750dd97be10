#!/usr/bin/env bash
# The Windows edition's SQL Server session under Wine: Wine's odbc32 loads
# the host's unixODBC, whose FreeTDS driver (Debian tdsodbc, registered in
# /etc/odbcinst.ini) reaches `posdb serve` of the Linux build on loopback.
#   scripts/test-wine-odbc.sh [LINUX_BUILD] [WINDOWS_BUILD]   (default build, build-windows)
# Runs test_db.exe's OdbcServerWin tests with OOA_TEST_ODBC_SERVER set, then
# the order, credit-note, catalogue, product and receipt suites over ODBC
# (OOA_TEST_ODBC=1: each fixture serves its database with the Linux build's
# `posdb serve`), as ctest's odbc runs do on Linux.
set -euo pipefail
cd "$(dirname "$0")/.."
LINUX_BUILD="${1:-build}"
WINDOWS_BUILD="${2:-build-windows}"
POSDB="$LINUX_BUILD/tools/posdb/posdb"
TEST_EXE="$WINDOWS_BUILD/tests/db/test_db.exe"
for f in "$POSDB" "$TEST_EXE"; do
  [ -x "$f" ] || [ -f "$f" ] || { echo "test-wine-odbc: $f is not built" >&2; exit 1; }
done
grep -q '^\[FreeTDS\]' /etc/odbcinst.ini ||
  { echo "test-wine-odbc: no FreeTDS driver in /etc/odbcinst.ini (apt-get install tdsodbc)" >&2; exit 1; }

work="$(mktemp -d /tmp/ooa-wine-odbc.XXXXXX)"
server_pid=""
cleanup() {
  [ -z "$server_pid" ] || kill "$server_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

"$POSDB" init "$work/pos.db" --demo >/dev/null
"$POSDB" serve "$work/pos.db" --port 0 >"$work/serve.log" 2>&1 &
server_pid=$!
port=""
for _ in $(seq 50); do
  port="$(sed -n 's/^listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$work/serve.log")"
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || { cat "$work/serve.log" >&2; echo "test-wine-odbc: posdb serve did not start" >&2; exit 1; }

export WINEDEBUG="${WINEDEBUG:--all}"
status=0
OOA_TEST_ODBC_SERVER="127.0.0.1,$port" \
  wine "$TEST_EXE" --gtest_filter='OdbcServerWin.*:OdbcConnectionText.*:OdbcDriverChoice.*' || status=1
kill "$server_pid" 2>/dev/null || true
server_pid=""

BUILD="$WINDOWS_BUILD"
REPORTS="$WINDOWS_BUILD/wine-reports/odbc"
. scripts/lib/wine-test-program.sh
export OOA_TEST_ODBC=1
for t in test_orders test_credits test_catalog test_products test_receipt; do wine_test_program "$t"; done
exit "$status"
