#!/usr/bin/env bash
# Installs the Debian packages the build needs when any is missing.
set -euo pipefail
# xfonts-base: the X server's core fonts, without which SDL cannot show a message box
# (the setup tools ask their questions in them).
PACKAGES=(build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  libsdl2-dev libavformat-dev libavcodec-dev libswscale-dev libswresample-dev libavutil-dev
  libfreetype-dev fonts-dejavu-core googletest libgtest-dev libbenchmark-dev
  imagemagick xvfb xauth xfonts-base sox libosmesa6-dev locales)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
