#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, and those named as
# arguments (make fuzz adds clang and libFuzzer: make test does not need them).
# Idempotent: apt-get runs only when something is missing.
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-serialport-dev qt6-svg-dev qt6-charts-dev libqt6opengl6-dev libgl-dev
    libqt6svg6 qt6-qpa-plugins
    fonts-dejavu-core fonts-liberation2 fonts-ebgaramond
    xvfb xauth poppler-utils clang-format locales
    file desktop-file-utils
    "$@"
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi

if [ ${#missing[@]} -ne 0 ]; then
    echo "Installing: ${missing[*]}"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The suite runs a second time under a French environment: its locale must exist.
if ! locale -a 2>/dev/null | grep -qix 'fr_FR\.utf-\?8'; then
    echo "Generating the fr_FR.UTF-8 locale"
    $SUDO localedef -i fr_FR -f UTF-8 fr_FR.UTF-8
fi
