#!/usr/bin/env bash
# A Wayland compositor with no seat (headless Weston alone: no keyboard, mouse or touch screen)
# is one SDL's Wayland driver crashes on. The game never hands it to SDL: asked for Wayland
# alone, it names the reason and ends with status 1; left to choose, it tries X11 instead, and
# with no X display either it says there is no display, status 1. Never a crash.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.bash"
source "$here/weston_session.bash"
trap xvfb_cleanup EXIT

weston_start seatless

# expect_no_display NAME MESSAGE [ENV...]: the game ends at once with status 1 and MESSAGE.
expect_no_display() {
  local name="$1" message="$2"
  shift 2
  env "$@" SDL_AUDIODRIVER=dummy "$bin/burrowfield" >"$work/game.out" 2>"$work/game.err"
  local rc=$?
  [ "$rc" -eq 1 ] || fail "$name: status $rc, want 1: $(cat "$work/game.err")"
  grep -qF "$message" "$work/game.err" || fail "$name: no '$message': $(cat "$work/game.err")"
}

expect_no_display "Wayland alone" "the Wayland compositor has no seat" SDL_VIDEODRIVER=wayland
expect_no_display "Wayland, then X11" "cannot open a display" SDL_VIDEODRIVER=wayland,x11
expect_no_display "SDL's choice" "cannot open a display"
echo "wayland seatless: ok"
