#!/usr/bin/env bash
# Installs what building, running and testing need on Debian 12; only what is missing.
set -euo pipefail
packages=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6printsupport6 libsqlite3-dev libgl-dev
  postgresql libqt6sql6-psql
  libssl-dev openssl
  libgtest-dev libbenchmark-dev
  clang libclang-rt-14-dev
  fonts-noto-cjk
  qt6-translations-l10n qt6-l10n-tools
  xvfb xauth xdotool imagemagick
  poppler-utils
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
