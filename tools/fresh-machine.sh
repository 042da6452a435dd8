#!/usr/bin/env bash
# Proves that ./test and ./play work on a fresh Debian 12 machine, with nothing installed beyond
# the base system, by making one: debootstrap's minimal Debian 12 in a folder, this repository
# cloned into it (the checked-out branch as committed), and everything run there through chroot.
#   1. On a fresh root, before anything is installed, tools/setup.sh must refuse in one line that
#      names the missing packages: as a user without sudo, and as root without network.
#   2. On another fresh root, as root: ./test (it installs the packages and builds), ./test again
#      (all there already), then ./play on a virtual X server, left with Escape.
#   3. On the first root, sudo installed for a normal user: ./test as that user, through sudo.
#   4. On a third fresh root with sudo, as that user: the README's Debian package steps (apt
#      build-dep, dpkg-buildpackage, apt install of the .deb), then the installed runner runs.
# Each stage's wall time is printed at the end. Needs root and the Debian archive (the mirrors
# this machine's apt uses); leaves nothing mounted.
# Usage: tools/fresh-machine.sh [WORK_DIR] [package]   (default /var/tmp/bf-fresh-machine;
#        `package`: only the base system and step 4)
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
work="${1:-/var/tmp/bf-fresh-machine}"
only="${2:-}"
[ "$(id -u)" -eq 0 ] || { echo "fresh-machine: run as root (debootstrap and chroot need it)" >&2; exit 1; }

times=()
stage() { # NAME COMMAND...: runs and times one stage
  local name="$1" start=$SECONDS
  shift
  echo "=== $name"
  "$@"
  times+=("$(printf '%-48s %5d s' "$name" $((SECONDS - start)))")
}
fail() { echo "FAIL: $*" >&2; exit 1; }

command -v debootstrap > /dev/null || apt-get install -y -qq --no-install-recommends debootstrap
mkdir -p "$work"
rm -rf "${work:?}/base" "$work/root" "$work/user" "$work/package"

# This machine's own Debian mirrors, for bookworm and its updates and security suites.
# shellcheck disable=SC2016  # apt's own format fields
sources="$(apt-get indextargets --format '$(REPO_URI) $(RELEASE) $(COMPONENT)' \
  'Identifier: Packages' | awk '$2 ~ /^bookworm/ && $3 == "main" {print "deb " $0}' | sort -u)"
mirror="$(awk '$3 == "bookworm" {print $2; exit}' <<< "$sources")"
[ -n "$mirror" ] || fail "apt on this machine knows no bookworm mirror"

base() {
  debootstrap --variant=minbase bookworm "$work/base" "$mirror" > "$work/debootstrap.log" 2>&1 ||
    fail "debootstrap failed: $(tail -5 "$work/debootstrap.log")"
  echo "$sources" > "$work/base/etc/apt/sources.list"
  cp /etc/resolv.conf "$work/base/etc/resolv.conf"
  chroot "$work/base" useradd --create-home --shell /bin/bash player
}
stage "debootstrap --variant=minbase bookworm" base

# A fresh machine: a copy of the base, with the repository cloned into the player's home.
fresh() {
  cp -a "$work/base" "$work/$1"
  git clone -q "$repo" "$work/$1/home/player/burrowfield"
  git -C "$work/$1/home/player/burrowfield" checkout -q "$(git -C "$repo" rev-parse HEAD)"
  chroot "$work/$1" chown -R player:player /home/player/burrowfield
}

# in_root ROOT [--no-network] COMMAND: runs COMMAND with bash in the repository inside ROOT,
# with /proc, /sys, /dev and /dev/shm mounted in a mount namespace of its own, so that nothing
# stays mounted afterwards.
in_root() {
  local root="$work/$1" isolation=()
  shift
  if [ "$1" = --no-network ]; then isolation=(--net); shift; fi
  # shellcheck disable=SC2016  # expanded by the inner shell
  unshare --mount --propagation private "${isolation[@]}" -- bash -c '
    set -e
    root="$1"; shift
    mount -t proc proc "$root/proc"
    mount -t sysfs sys "$root/sys"
    mount --bind /dev "$root/dev"
    mount -t devpts -o newinstance,ptmxmode=0666 devpts "$root/dev/pts"
    mount -t tmpfs tmpfs "$root/dev/shm"
    exec chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb LANG=C.UTF-8 \
      PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
      bash -c "cd /home/player/burrowfield && $*"' in_root "$root" "$@"
}

# expect_refusal NAME WANT COMMAND: set-up must fail before building, its last line naming
# the packages and WANT.
expect_refusal() {
  local name="$1" want="$2" out status=0
  shift 2
  out="$("$@" 2>&1)" || status=$?
  echo "$out" | tail -3
  [ "$status" -ne 0 ] || fail "$name: set-up succeeded"
  tail -1 <<< "$out" | grep -q "^setup: cannot install build-essential .*$want" ||
    fail "$name: the last line does not say what is missing and why"
  [ ! -e "$work/user/home/player/burrowfield/build" ] || fail "$name: set-up went on to build"
}

install_sudo() { # ROOT
  in_root "$1" "apt-get update -qq && apt-get install -y -qq --no-install-recommends sudo > /dev/null"
  echo "player ALL=(ALL) NOPASSWD: ALL" > "$work/$1/etc/sudoers.d/player"
}
as_player="runuser -u player -- env HOME=/home/player"

# The package as the README builds and installs it (its apt commands answered yes), by a user
# with sudo and nothing else.
package_steps() {
  in_root package "$as_player bash -c 'set -e
    sudo apt install -y build-essential > /dev/null
    sudo apt build-dep -y ./ > /dev/null
    dpkg-buildpackage -us -uc > ../build.log 2>&1 || { tail -20 ../build.log; exit 1; }
    cd .. && sudo apt install -y ./burrowfield_1.0_amd64.deb > /dev/null'"
  local summary
  summary="$(in_root package "cd / && /usr/games/burrowfield-sim --ticks 600 | tail -1")"
  echo "$summary"
  grep -q "^ticks=600 battles=" <<< "$summary" || fail "the installed runner gave no summary"
}
if [ "$only" = package ]; then
  stage "fresh root for the package" fresh package
  stage "sudo for the player" install_sudo package
  stage "the README's package steps, then the installed runner" package_steps
  echo "=== wall time of each stage"
  printf '%s\n' "${times[@]}"
  echo "fresh machine: package ok"
  exit 0
fi

stage "fresh root for the refusals and the sudo user" fresh user
stage "setup.sh as a user without sudo: refuses" expect_refusal "no sudo" "sudo is not installed" \
  in_root user "runuser -u player -- env HOME=/home/player tools/setup.sh"
stage "setup.sh as root without network: refuses" expect_refusal "no network" \
  "archive cannot be reached" in_root user --no-network tools/setup.sh

stage "fresh root for root's runs" fresh root
stage "./test as root, first run" in_root root ./test
stage "./test as root, second run" in_root root ./test
stage "./play as root under Xvfb, Escape" in_root root "xvfb-run -a -s '-screen 0 1024x768x24' \
  bash -c '(sleep 10; xdotool keydown Escape; sleep 0.2; xdotool keyup Escape) & \
  SDL_AUDIODRIVER=dummy timeout 60 ./play'"

stage "sudo for the player" install_sudo user
stage "./test as a user through sudo, first run" in_root user "$as_player ./test"

echo "=== wall time of each stage"
printf '%s\n' "${times[@]}"
echo "fresh machine: ok"
