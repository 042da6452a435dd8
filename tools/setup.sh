#!/usr/bin/env bash
# Installs whatever Debian packages are missing, then configures and builds the game.
# Shared by ./play and ./test; fast when everything is already there. When the missing packages
# cannot be installed (neither root nor sudo, no way to the Debian archive) it says so in one
# line that names them, and stops before building.
set -euo pipefail

PACKAGES=(
  # building
  build-essential cmake ninja-build pkg-config python3
  # the game; the message box writes Japanese in VL Gothic, which DejaVu Sans lacks
  libsdl2-dev libsdl2-mixer-dev libsdl2-ttf-dev fonts-dejavu-core fonts-vlgothic
  libepoxy-dev libglm-dev libassimp-dev libstb-dev libwayland-dev libx11-dev libxext-dev
  libgl1-mesa-dri libegl-mesa0 libegl-dev
  # tests and benchmarks, the window tests on a virtual X server (and Xlib, for a window of
  # their own beside the game's)
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool x11-apps x11-utils libx11-dev
  # the Wayland window tests: a headless Weston, the module that types on it, and the window
  # decorations GNOME's users have
  weston libweston-10-dev libdecor-0-plugin-1-cairo
  # the checks of an installed tree: its menu entry, metainfo and manual pages
  desktop-file-utils appstream groff-base
  # the format check of every C++ file
  clang-format
)

missing=()
for package in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

cannot_install() {
  echo "setup: cannot install ${missing[*]}: $1" >&2
  exit 1
}

# What apt says when the archive cannot be reached. apt-get update says it only as a warning and
# succeeds; apt-get install then finds no such package, or cannot fetch it.
unreachable='Failed to fetch|Could not resolve|Temporary failure|Unable to connect|Some index files failed'

if ((${#missing[@]})); then
  as_root=()
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo > /dev/null ||
      cannot_install "this needs root, and sudo is not installed (run as root, or install sudo)"
    sudo -v || cannot_install "sudo refused (run as root, or as a user allowed to use sudo)"
    as_root=(sudo)
  fi
  echo "Installing with apt-get (a minute or two): ${missing[*]}"
  logs="$(mktemp -d)"
  trap 'rm -rf "$logs"' EXIT
  "${as_root[@]}" apt-get update -qq > "$logs/update" 2>&1 || true
  if ! "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
    --no-install-recommends "${missing[@]}" > "$logs/install" 2>&1; then
    reason="$(grep -h -m1 -E "$unreachable" "$logs/update" "$logs/install" | head -1 || true)"
    [ -z "$reason" ] || cannot_install "the Debian archive cannot be reached ($reason)"
    cannot_install "apt-get install failed ($(grep -m1 '^E:' "$logs/install" || echo 'no reason given'))"
  fi
fi

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build"
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBF_WERROR="${BF_WERROR:-OFF}"
fi
cmake --build "$build" -j"$(nproc)"
