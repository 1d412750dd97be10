#!/usr/bin/env bash
# Installs every system package the project needs to build, test and run.
# Idempotent: packages already present are left alone.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev libqt6printsupport6 qt6-qpa-plugins
  libcurl4-openssl-dev libssl-dev ca-certificates
  rapidjson-dev libsqlite3-dev sqlite3
  unixodbc-dev tdsodbc freetds-bin
  libcups2-dev cups cups-client cups-bsd
  libcpp-httplib-dev libcli11-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libpng-dev libfreetype-dev libfontconfig-dev
  fonts-dejavu-core fonts-noto-cjk
  xvfb xauth
  clang libclang-rt-14-dev
  openssl
  curl jq
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
