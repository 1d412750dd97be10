#!/usr/bin/env bash
# Makes the Windows installer from what scripts/build-windows.sh built:
#   scripts/build-installer.sh [BUILD_DIR]    (default build-windows)
# writes BUILD_DIR/OnlineOrderAdaptor-setup.exe (or OUT_FILE). It takes
# online-order-adaptor.exe, posdb.exe and escpos-view.exe, each when the build
# has it, and fails when it has none of them. Needs makensis (Debian: nsis).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${1:-${BUILD_DIR:-build-windows}}"
[ -d "$BUILD_DIR" ] || { echo "build-installer: no $BUILD_DIR (run scripts/build-windows.sh)" >&2; exit 1; }
BUILD_DIR="$(cd "$BUILD_DIR" && pwd)"
OUT_FILE="${OUT_FILE:-$BUILD_DIR/OnlineOrderAdaptor-setup.exe}"
command -v makensis >/dev/null || { echo "build-installer: makensis not found (apt-get install nsis)" >&2; exit 1; }

# The built program of that name (not a copy under deps/ or _deps/).
find_exe() {
  find "$BUILD_DIR" -name "$1" -type f -not -path '*/deps/*' -not -path '*/_deps/*' -not -path '*/CMakeFiles/*' |
    sort | head -1
}

VERSION="$(sed -n 's/^project([A-Za-z]* VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt | head -1)"
defines=(-DVERSION="${VERSION:-0.0.0}" -DOUT_FILE="$OUT_FILE")
found=0
for pair in ADAPTOR_EXE:online-order-adaptor.exe POSDB_EXE:posdb.exe VIEW_EXE:escpos-view.exe; do
  exe="$(find_exe "${pair#*:}")"
  if [ -n "$exe" ]; then
    defines+=(-D"${pair%%:*}=$exe")
    found=$((found + 1))
    echo "build-installer: ${pair#*:} <- $exe"
  else
    echo "build-installer: ${pair#*:} is not built; left out"
  fi
done
[ "$found" -gt 0 ] || { echo "build-installer: no program in $BUILD_DIR" >&2; exit 1; }

# makensis works in the script's folder (installer/), which holds the
# starting settings file; every other path given is absolute.
case "$OUT_FILE" in /*) ;; *) OUT_FILE="$PWD/$OUT_FILE"; defines[1]=-DOUT_FILE="$OUT_FILE" ;; esac
if ! makensis -V2 "${defines[@]}" installer/OnlineOrderAdaptor.nsi >"$BUILD_DIR/makensis.log" 2>&1; then
  cat "$BUILD_DIR/makensis.log" >&2
  exit 1
fi
echo "build-installer: $OUT_FILE"
