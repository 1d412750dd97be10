#!/usr/bin/env bash
# Takes the pictures of the Windows edition's window under Wine on a virtual X
# display, as the README shows them: the main window with its activity log
# (docs/windows-main-window.png), with its problems list
# (docs/windows-main-window-problems.png) and the settings dialog
# (docs/windows-settings-dialog.png). The service starts on a fresh embedded
# demo database made by posdb.exe, with the same settings and problems list
# as scripts/screenshots.sh uses for the Linux window.
#
# Wine runs in a prefix of its own (build-windows/wine-screenshots), set to
# draw the window frames itself, since no window manager runs on the display.
# Needs the Windows build (scripts/build-windows.sh), Xvfb, xwininfo and
# ImageMagick's import.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${BUILD_DIR:-build-windows}"
OUT_DIR="${OUT_DIR:-docs}"
SERVICE="$BUILD_DIR/src/app/online-order-adaptor.exe"
POSDB="$BUILD_DIR/tools/posdb/posdb.exe"

cmake --build "$BUILD_DIR" --target online-order-adaptor posdb
mkdir -p "$OUT_DIR"

export WINEDEBUG="${WINEDEBUG:--all}"
export WINEPREFIX
WINEPREFIX="$(cd "$BUILD_DIR" && pwd)/wine-screenshots"
work="$(mktemp -d)"
xvfb_pid=""
app_pid=""
stop() {  # ends one process we started, by its id, and waits for it
  [ -n "$1" ] || return 0
  kill "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}
cleanup() {
  stop "$app_pid"
  wineserver -w 2>/dev/null || true
  stop "$xvfb_pid"
  rm -rf "$work"
}
trap cleanup EXIT

# A display of its own: the first free number from 91 on.
display=91
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display"
for _ in $(seq 50); do xwininfo -root >/dev/null 2>&1 && break; sleep 0.1; done

# Without a window manager Wine draws the frames and captions itself.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Making the Wine prefix $WINEPREFIX (once)"
  wineboot -i >/dev/null 2>&1 || true
fi
# Wine's own Tahoma (the window font) and Marlett (the caption buttons' and
# scroll arrows' glyphs), where Wine finds fonts of the system.
fonts="$WINEPREFIX/drive_c/windows/Fonts"
mkdir -p "$fonts"
for f in tahoma.ttf tahomabd.ttf marlett.ttf; do
  [ -f "/usr/share/wine/fonts/$f" ] && [ ! -f "$fonts/$f" ] && cp "/usr/share/wine/fonts/$f" "$fonts/"
done
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
# The face the window takes for Chinese text (the language lists, the
# banner's headline), which Windows has: here the machine's Noto Sans CJK.
wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Microsoft YaHei UI' /d 'Noto Sans CJK SC' /f \
  >/dev/null 2>&1
wineserver -w

wine "$POSDB" init "$(winepath -w "$work/POS.DB")" --demo >/dev/null
# The settings and the problems list of the Linux pictures, the settings
# with Windows line ends; the program finds POS.DB beside them.
sed 's/$/\r/' scripts/demo/screens.ini > "$work/OnlineService.ini"
cp scripts/demo/screens-problems.json "$work/OnlineService.state"
config="$(winepath -w "$work/OnlineService.ini")"

# Waits for a top-level window with this exact title and prints its geometry
# as WxH+X+Y.
window_geometry() {
  local id info
  for _ in $(seq 300); do
    id="$(xwininfo -root -tree 2>/dev/null | awk -v t="\"$1\":" 'index($0, t) { print $1; exit }')"
    if [ -n "$id" ]; then
      info="$(xwininfo -id "$id")"
      if grep -q 'Map State: IsViewable' <<<"$info"; then
        awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
             /^ *Width/ { w = $NF } /^ *Height/ { h = $NF } END { print w "x" h "+" x "+" y }' <<<"$info"
        return 0
      fi
    fi
    sleep 0.1
  done
  echo "window_geometry: no window \"$1\" appeared" >&2
  return 1
}

# One picture: starts the program with its options, waits for the window,
# lets it settle (the service starts, the problems list is read), captures
# the window's part of the screen and ends the program.
shot() {
  local file="$1" title="$2"
  shift 2
  wine "$SERVICE" --config "$config" "$@" >"$work/app.log" 2>&1 &
  app_pid=$!
  local geometry
  geometry="$(window_geometry "$title")"
  sleep "${SHOT_SETTLE:-3}"
  import -window root -crop "$geometry" +repage "$OUT_DIR/$file"
  stop "$app_pid"
  app_pid=""
  wineserver -w
  echo "Wrote $OUT_DIR/$file ($geometry)"
}

shot windows-main-window.png "Tillora Classic Retail - Online Service"
shot windows-main-window-problems.png "Tillora Classic Retail - Online Service" --show-problems
shot windows-settings-dialog.png "Configuration" --show-setup
