#!/usr/bin/env bash
# Runs the tests against a real shop (ctest label "realshop": the integration
# suite and the stand-in's contract test) on a finished build ($BUILD_DIR,
# default build).
#
# The shop:
#   - WOO_URL, WOO_KEY and WOO_SECRET when they are set (any test shop;
#     WOO_TLS_URL and WOO_CA_FILE add the HTTPS case);
#   - otherwise the real shop of ../shared/real-shop (or $REAL_SHOP_DIR),
#     brought up by its start.sh (as root) with HTTPS on $WOO_TLS_PORT (8443)
#     and stopped again at the end when this script started it;
#   - otherwise one line says why the tests are skipped, and the script ends well.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${BUILD_DIR:-build}"
SHOP_DIR="${REAL_SHOP_DIR:-../shared/real-shop}"

started=""
stop_shop() {
  if [ -n "$started" ]; then
    bash "$SHOP_DIR/stop.sh" >/dev/null 2>&1 || echo "real-shop: stop.sh failed" >&2
  fi
}
trap stop_shop EXIT

if [ -z "${WOO_URL:-}" ] || [ -z "${WOO_KEY:-}" ] || [ -z "${WOO_SECRET:-}" ]; then
  if [ ! -f "$SHOP_DIR/start.sh" ]; then
    echo "real-shop tests skipped: WOO_URL, WOO_KEY and WOO_SECRET are not set and there is no $SHOP_DIR/start.sh"
    exit 0
  fi
  if [ "$(id -u)" != 0 ]; then
    echo "real-shop tests skipped: WOO_URL, WOO_KEY and WOO_SECRET are not set and $SHOP_DIR/start.sh needs root"
    exit 0
  fi
  port="${WOO_PORT:-8080}"
  # A shop that is up already is used and left running.
  if [ "$(curl -s -o /dev/null -w '%{http_code}' "http://127.0.0.1:$port/wp-json/" || true)" != 200 ]; then
    started=1
  fi
  echo "== Real shop: $SHOP_DIR/start.sh =="
  settings="$(mktemp)"
  if ! WOO_TLS_PORT="${WOO_TLS_PORT:-8443}" bash "$SHOP_DIR/start.sh" > "$settings"; then
    rm -f "$settings"
    echo "real-shop: start.sh failed" >&2
    exit 1
  fi
  while IFS='=' read -r name value; do
    case "$name" in
      WOO_URL | WOO_KEY | WOO_SECRET | WOO_TLS_URL | WOO_CA_FILE) export "$name=$value" ;;
    esac
  done < "$settings"
  rm -f "$settings"
fi

echo "== Real-shop tests against $WOO_URL =="
ctest --test-dir "$BUILD_DIR" -L realshop --output-on-failure --timeout 1800
