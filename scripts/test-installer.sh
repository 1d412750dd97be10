#!/usr/bin/env bash
# Makes the installer from a Windows build (scripts/build-installer.sh),
# installs and uninstalls it silently under Wine, in a Wine prefix of its
# own, and checks what lands where:
#   scripts/test-installer.sh [BUILD_DIR]   (default build-windows)
# 1. install: the programs the build has, uninstall.exe, the starting
#    settings file, the Start-menu entry and the uninstall registry entry;
#    and the logon task (Wine keeps its definition in system32/tasks);
# 2. a settings file the shop changed survives a second install (upgrade),
#    which without the logon task (/NOAUTOSTART) removes the old one;
# 3. uninstall: everything goes but the settings file;
# 4. install again, uninstall with /REMOVESETTINGS: the task and the folder
#    are gone.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="$(realpath "${1:-${BUILD_DIR:-build-windows}}")"
INSTALLER="$BUILD_DIR/OnlineOrderAdaptor-setup.exe"
OUT_FILE="$INSTALLER" bash scripts/build-installer.sh "$BUILD_DIR"

export WINEPREFIX="$(mktemp -d /tmp/ooa-installer-wine.XXXXXX)"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
}
trap cleanup EXIT
wineboot -i >/dev/null 2>&1
wineserver -w

DIR="$WINEPREFIX/drive_c/Program Files/Online Order Adaptor"
TASK="$WINEPREFIX/drive_c/windows/system32/tasks/Online Order Adaptor"
MENU="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Online Order Adaptor.lnk"
# The programs the build has (escpos-view may not be built yet).
built() { [ -n "$(find "$BUILD_DIR" -name "$1" -type f -not -path '*/deps/*' -not -path '*/_deps/*' | head -1)" ]; }
failures=0
check() {  # check "what" test-args...
  local what="$1"
  shift
  if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}
run() {  # run the installer or uninstaller silently and wait for it
  wine "$@" >/dev/null 2>&1 || true
  wineserver -w
}
registered() { wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\OnlineOrderAdaptor' /v DisplayName >/dev/null 2>&1; }
unregistered() { ! registered; }

run "$INSTALLER" /S
check "install folder" test -d "$DIR"
for exe in online-order-adaptor.exe posdb.exe escpos-view.exe; do
  if built "$exe"; then check "installed $exe" test -f "$DIR/$exe"; fi
done
check "uninstall.exe" test -f "$DIR/uninstall.exe"
check "settings file with the Driver entry" grep -q '^Driver=' "$DIR/OnlineService.ini"
if built online-order-adaptor.exe; then check "Start-menu entry" test -f "$MENU"; fi
check "uninstall registry entry" registered
check "logon task" test -f "$TASK"

printf '[ApiConfig]\r\nServerName=POS01\\SQLEXPRESS\r\n' >"$DIR/OnlineService.ini"
run "$INSTALLER" /S /NOAUTOSTART
check "upgrade keeps the shop's settings file" grep -q 'ServerName=POS01' "$DIR/OnlineService.ini"
check "upgrade without the logon task removes it" test ! -e "$TASK"

# The uninstaller copies itself to the temporary folder and runs from there;
# run() waits for every process of the prefix.
run "$DIR/uninstall.exe" /S
for exe in online-order-adaptor.exe posdb.exe escpos-view.exe uninstall.exe; do
  check "uninstalled $exe" test ! -e "$DIR/$exe"
done
check "Start-menu entry removed" test ! -e "$MENU"
check "uninstall registry entry removed" unregistered
check "settings file kept" grep -q 'ServerName=POS01' "$DIR/OnlineService.ini"

run "$INSTALLER" /S
check "reinstall keeps the settings file" grep -q 'ServerName=POS01' "$DIR/OnlineService.ini"
check "reinstall makes the logon task" test -f "$TASK"
run "$DIR/uninstall.exe" /S /REMOVESETTINGS
check "uninstall removes the logon task" test ! -e "$TASK"
check "uninstall with /REMOVESETTINGS leaves no folder" test ! -e "$DIR"

if [ "$failures" -gt 0 ]; then
  echo "test-installer: $failures check(s) failed"
  exit 1
fi
echo "test-installer: all checks passed"
