#!/usr/bin/env bash
# The real game as a native Wayland client (SDL_VIDEODRIVER=wayland) of a headless Weston with
# the pixman renderer, 1024 x 768: it starts fullscreen under the menu entry's name as its app
# id, player 1 joins, a battle starts, both drive and fire, Escape returns to the selection
# screen; F11 makes a window of the screen pixel for pixel (640 x 480, the largest whole multiple
# that fits), F11 again fills the output, and Escape ends the program with status 0. Every step
# is checked on the compositor's screenshot.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.bash"
source "$here/weston_session.bash"
trap xvfb_cleanup EXIT

weston_start
game_start SDL_VIDEODRIVER=wayland SDL_AUDIODRIVER=dummy
wait_for start 30 selection 1 0:0
wait_place fullscreen 20 1024x768
[ "$place" = 1024x768+0+0 ] || fail "fullscreen: the window stands at $place"

press f joined 20 selection 1 0:0 1:1
press Return battle 30 battle full 0 1
press "Up w Left a" driven 20 differs "$work/battle.xwd" 0 1
fire_until fired 20 battle shells-spent 0
tap Escape
wait_for back 20 selection 1 0:0 1:1

tap F11
wait_place windowed 20 640x480
wait_window windowed 30 whole 1
python3 "$here/screen_check.py" "$work/windowed.xwd" selection 1 0:0 1:1 ||
  fail "windowed: not the selection screen"
tap F11
wait_place "fullscreen again" 20 1024x768
[ "$place" = 1024x768+0+0 ] || fail "fullscreen again: the window stands at $place"
wait_for fullscreen-again 20 selection 1 0:0 1:1

tap Escape
game_wait_exit 20
[ "$game_rc" -eq 0 ] || fail "the game ended with status $game_rc"
check_clean_stderr "wayland window"
echo "wayland window: ok"
