#!/usr/bin/env bash
# The Debian packages Quillerby needs to build, test and run. Every Makefile target calls this first.
# As root, missing packages are installed with apt-get; otherwise the missing ones are listed.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build ccache pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-charts-dev qt6-svg-dev libqt6opengl6-dev
  libqt6sql6-sqlite libqt6sql6-odbc tdsodbc unixodbc-dev
  libsqlite3-dev libxlsxwriter-dev libssl-dev
  fonts-dejavu-core xvfb xauth time curl bc
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
else
  echo "Missing Debian packages: ${missing[*]}" >&2
  echo "Install them with: sudo apt-get install ${missing[*]}" >&2
  exit 1
fi
