#!/usr/bin/env bash
# Installs whatever Debian packages are missing, then configures and builds the game.
# Shared by ./play and ./test; fast when everything is already there.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config python3
  libsdl2-dev libsdl2-mixer-dev libsdl2-ttf-dev fonts-dejavu-core fonts-vlgothic
  libepoxy-dev libglm-dev libassimp-dev libstb-dev
  libgl1-mesa-dri libegl-mesa0 libegl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool x11-apps x11-utils
)

missing=()
for package in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build"
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$build" -j"$(nproc)"
