#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need.
# Idempotent: apt-get runs only when something is missing.
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-serialport-dev qt6-svg-dev qt6-charts-dev libgl-dev
    libqt6svg6 qt6-qpa-plugins
    fonts-dejavu-core fonts-liberation2 fonts-ebgaramond
    xvfb xauth poppler-utils clang-format
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
