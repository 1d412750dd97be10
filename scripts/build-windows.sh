#!/usr/bin/env bash
# Builds the Windows edition into ./build-windows with mingw-w64 (cross build
# on Debian): online-order-adaptor.exe, posdb.exe, escpos-view.exe and the
# core's tests, which run under Wine (scripts/test-windows.sh).
# Installs the Debian packages it needs first, and makes SQLite's single-file
# source from Debian's sqlite3 source package (the same version and options
# as the libsqlite3 of the Linux edition).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${BUILD_DIR:-build-windows}"
DEPS="$BUILD_DIR/deps"

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

PACKAGES=(
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools
  wine wine64 nsis
  cmake ninja-build dpkg-dev tcl
  rapidjson-dev libcli11-dev libcpp-httplib-dev googletest
  xvfb xauth imagemagick
)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

mkdir -p "$DEPS"
DEPS="$(cd "$DEPS" && pwd)"

# `apt-get source` needs a deb-src entry; one is added beside the machine's
# deb entries when none is there.
ensure_deb_src() {
  if ! grep -rqsE '^(Types: .*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
      sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
        $SUDO tee /etc/apt/sources.list.d/ooa-deb-src.sources >/dev/null
    else
      grep -E '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' |
        $SUDO tee /etc/apt/sources.list.d/ooa-deb-src.list >/dev/null
    fi
    $SUDO apt-get update -qq
  fi
}

# SQLite from Debian's sqlite3 source package.
if [ ! -f "$DEPS/sqlite/sqlite3.c" ]; then
  ensure_deb_src
  rm -rf "$DEPS/sqlite-src" "$DEPS/sqlite"
  mkdir -p "$DEPS/sqlite-src" "$DEPS/sqlite"
  (cd "$DEPS/sqlite-src" && apt-get source -qq sqlite3 >/dev/null 2>&1) ||
    { echo "build-windows: apt-get source sqlite3 failed" >&2; exit 1; }
  src="$(find "$DEPS/sqlite-src" -maxdepth 1 -type d -name 'sqlite3-*' | head -1)"
  (cd "$DEPS/sqlite" && "$src/configure" -q >/dev/null && make -s sqlite3.c >/dev/null)
  find "$DEPS/sqlite" -mindepth 1 -maxdepth 1 ! -name 'sqlite3.[ch]' -exec rm -rf {} +
  rm -rf "$DEPS/sqlite-src"
fi

# cpp-httplib for the tests' loopback servers: Debian's /usr/include/httplib.h
# only declares (the code is in its shared library), so the whole header comes
# from the source package cpp-httplib, the same version with Debian's patches.
if [ ! -f "$DEPS/httplib/httplib.h" ]; then
  ensure_deb_src
  rm -rf "$DEPS/httplib-src" "$DEPS/httplib"
  mkdir -p "$DEPS/httplib-src" "$DEPS/httplib"
  (cd "$DEPS/httplib-src" && apt-get source -qq cpp-httplib >/dev/null 2>&1) ||
    { echo "build-windows: apt-get source cpp-httplib failed" >&2; exit 1; }
  src="$(find "$DEPS/httplib-src" -maxdepth 1 -type d -name 'cpp-httplib-*' | head -1)"
  cp "$src/httplib.h" "$DEPS/httplib/httplib.h"
  rm -rf "$DEPS/httplib-src"
fi

# Header-only libraries from their Debian packages, seen through a folder of
# their own so that no other host header reaches the cross compiler.
mkdir -p "$DEPS/include"
ln -sfn /usr/include/rapidjson "$DEPS/include/rapidjson"
ln -sfn /usr/include/CLI "$DEPS/include/CLI"
ln -sfn "$DEPS/httplib/httplib.h" "$DEPS/include/httplib.h"

export WINEDEBUG="${WINEDEBUG:--all}"
# The build lists each test program's tests by running it under Wine: the
# Wine prefix is made first, once.
wineboot -i >/dev/null 2>&1 || true
cmake -S . -B "$BUILD_DIR" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-Release}" \
  -DOOA_SQLITE_DIR="$DEPS/sqlite" -DOOA_HOST_HEADERS="$DEPS/include" \
  -DOOA_BUILD_GUI=OFF -DOOA_BUILD_BENCH=OFF >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)"
