#!/usr/bin/env bash
# The end-to-end story of the Windows edition under Wine, checked against the
# Linux edition: scripts/demo.sh runs twice on the same stand-ins (the shop
# and the printer, programs of this machine on loopback), once with the Linux
# programs and once with posdb.exe and online-order-adaptor.exe under Wine.
# Both runs must write the same POS rows and print the same receipt bytes;
# only the moments (dates and times, which differ between the runs) are
# masked before comparing. Needs both builds: ./build and ./build-windows.
# Output: ./story-output (or $STORY_OUT), with the two demo folders and the
# differences when there are any. Exit status 0 when both agree.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT="$(pwd)"
LINUX_BUILD="${BUILD_DIR:-build}"
WIN_BUILD="${WINDOWS_BUILD_DIR:-build-windows}"
OUT="${STORY_OUT:-story-output}"
export WINEDEBUG="${WINEDEBUG:--all}"
for f in "$LINUX_BUILD/tools/posdb/posdb" "$WIN_BUILD/tools/posdb/posdb.exe" "$WIN_BUILD/src/app/online-order-adaptor.exe"; do
  [ -x "$f" ] || [ -f "$f" ] || { echo "story-windows: $f is missing (build both editions first)" >&2; exit 1; }
done
rm -rf "$OUT"
mkdir -p "$OUT/bin"
OUT="$(cd "$OUT" && pwd)"

# The Windows programs, each behind a wrapper that runs it under Wine.
for p in tools/posdb/posdb src/app/online-order-adaptor; do
  printf '#!/bin/sh\nexec wine "%s" "$@"\n' "$ROOT/$WIN_BUILD/$p.exe" > "$OUT/bin/$(basename "$p")"
  chmod +x "$OUT/bin/$(basename "$p")"
done
wineboot -i >/dev/null 2>&1 || true

echo "==== The Linux edition ===="
DEMO_SKIP_BUILD=1 DEMO_HEADLESS=1 DEMO_OUT="$OUT/linux" BUILD_DIR="$LINUX_BUILD" bash scripts/demo.sh
echo
echo "==== The Windows edition, under Wine ===="
DEMO_SKIP_BUILD=1 DEMO_HEADLESS=1 DEMO_OUT="$OUT/windows" BUILD_DIR="$LINUX_BUILD" \
  DEMO_POSDB="$OUT/bin/posdb" DEMO_SERVICE="$OUT/bin/online-order-adaptor" bash scripts/demo.sh

# The POS rows the service writes, read with the Linux posdb from both files.
# Moments are masked: YYYY-MM-DD[ hh:mm[:ss[.fff]]] and hh:mm[:ss].
mask() { sed -E 's/[0-9]{4}-[0-9]{2}-[0-9]{2}([ T][0-9]{2}:[0-9]{2}(:[0-9]{2}(\.[0-9]+)?)?)?/<moment>/g'; }
TABLES=(InvoiceHead InvoiceItem RecvAcct Payment Customer Product ProductExtend ProductFamily Category OnlineSyncLog)
dump() {
  local db="$1" t
  for t in "${TABLES[@]}"; do
    echo "== $t"
    "$LINUX_BUILD/tools/posdb/posdb" exec "$db" -Q "Select * From $t" 2>&1 | LC_ALL=C sort | mask
  done
}
dump "$OUT/linux/POS.DB" > "$OUT/linux-rows.txt"
dump "$OUT/windows/POS.DB" > "$OUT/windows-rows.txt"

# The receipts: the printer's bytes, with the printed moments masked (the
# receipt prints dates as dd/mm/yyyy and times as hh:mm[:ss]).
mask_bytes() { LC_ALL=C sed -E 's#[0-9]{2}/[0-9]{2}/[0-9]{4}#<date>#g; s#[0-9]{2}:[0-9]{2}(:[0-9]{2})?#<time>#g' "$1"; }
status=0
if ! diff -u "$OUT/linux-rows.txt" "$OUT/windows-rows.txt" > "$OUT/rows.diff"; then
  echo "story-windows: the POS rows differ ($OUT/rows.diff):" >&2
  head -40 "$OUT/rows.diff" >&2
  status=1
fi
linux_receipts=("$OUT"/linux/receipts/*.bin)
windows_receipts=("$OUT"/windows/receipts/*.bin)
if [ "${#linux_receipts[@]}" -ne "${#windows_receipts[@]}" ]; then
  echo "story-windows: ${#linux_receipts[@]} receipts on Linux, ${#windows_receipts[@]} under Wine" >&2
  status=1
fi
same=0
for bin in "${linux_receipts[@]}"; do
  name="$(basename "$bin")"
  other="$OUT/windows/receipts/$name"
  if [ ! -f "$other" ] || ! cmp -s <(mask_bytes "$bin") <(mask_bytes "$other"); then
    echo "story-windows: receipt $name differs" >&2
    cmp <(mask_bytes "$bin") <(mask_bytes "$other") >&2 || true
    status=1
  else
    same=$((same + 1))
  fi
done
rows="$(grep -vc '^== ' "$OUT/linux-rows.txt" || true)"
if [ "$status" -eq 0 ]; then
  echo "story-windows: the same $rows POS rows and the same bytes of $same receipts on Linux and under Wine"
fi
exit "$status"
