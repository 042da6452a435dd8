#!/usr/bin/env bash
# F11 in the real game on a 1920 x 1080 X server without a window manager (Xvfb), where nobody
# but the game places its window:
# - fullscreen fills the display, the screen shown "sharp bilinear" (2.25 times: twice pixel for
#   pixel, then filtered for the rest) with black bars at the sides;
# - F11 makes a window of the largest whole multiple of 640 x 480 that fits, 1280 x 960, centred
#   on the display, the screen in it exactly twice pixel for pixel;
# - F11 again fills the display again, every time (twice over here), never leaving the window
#   where the windowed mode had it;
# - a burst of presses changes the window once for each event pump at most, so the game is never
#   kept busy changing it: each change waits a tenth of a second for the X server, and a change
#   for each of 201 presses 12 ms apart held Escape off for 20 s;
# - --window starts the game in that window, and F11 makes it fullscreen from there.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.bash"
source "$here/xvfb_session.bash"
trap xvfb_cleanup EXIT

xvfb_start 1920x1080
game_start SDL_AUDIODRIVER=dummy
wait_for start 20 selection 1 0:0
window="$(game_window)"
[ -n "$window" ] || fail "no game window"
wait_geometry start 20 "$window" 1920x1080+0+0

for round in 1 2; do
  tap F11
  wait_geometry "windowed $round" 20 "$window" 1280x960+320+60
  # The picture follows the window's new size within a few ticks, and one check of the whole
  # window takes seconds on a loaded machine: the deadline leaves room for several.
  deadline=$((SECONDS + 30))
  until shot_window "windowed-$round" "$window" &&
    python3 "$here/screen_check.py" "$work/windowed-$round.xwd" whole 2 2>"$work/check.txt"; do
    ((SECONDS < deadline)) ||
      fail "windowed $round: not the screen twice, pixel for pixel: $(cat "$work/check.txt")"
    sleep 0.2
  done

  tap F11
  wait_geometry "fullscreen $round" 20 "$window" 1920x1080+0+0
  wait_for "fullscreen-$round" 20 selection 1 0:0
  python3 "$here/screen_check.py" "$work/fullscreen-$round.xwd" sharp "$work/windowed-$round.xwd" ||
    fail "fullscreen $round: not the sharp-bilinear picture of the screen"
done

xdotool key --repeat 201 F11
wait_geometry "after 201 presses" 20 "$window" 1280x960+320+60
tap Escape
game_wait_exit 10
[ "$game_rc" -eq 0 ] || fail "the game ended with status $game_rc"
check_clean_stderr "window fullscreen"

game_options=(--window)
game_start SDL_AUDIODRIVER=dummy
deadline=$((SECONDS + 20))
until window="$(game_window)" && [ -n "$window" ]; do
  ((SECONDS < deadline)) || fail "no game window with --window"
  sleep 0.2
done
wait_geometry "--window" 20 "$window" 1280x960+320+60
deadline=$((SECONDS + 30))
until shot_window window-option "$window" &&
  python3 "$here/screen_check.py" "$work/window-option.xwd" selection 1 0:0 2>"$work/check.txt"; do
  ((SECONDS < deadline)) || fail "--window: not the selection screen: $(cat "$work/check.txt")"
  sleep 0.2
done
tap F11
wait_geometry "--window, then F11" 20 "$window" 1920x1080+0+0
tap Escape
game_wait_exit 10
[ "$game_rc" -eq 0 ] || fail "the game with --window ended with status $game_rc"
check_clean_stderr "window option"
echo "window fullscreen: ok"
