#!/usr/bin/env bash
# The room's controls in the real game window on a 1920 x 1080 Xvfb display, for a person to
# look at and for the record of how much the four-times speed saves:
#
#   tools/room-window.sh BIN_DIR SHOTS_DIR
#
# 1. A battle with player 0 idle: P pauses it (screenshot), - and M show the volume and the mute
#    under the pause (screenshots), P goes on; then the computers beat player 0, and the battle runs at four
#    times the speed (screenshot of "x4") until it ends. Times: the battle's start, the "x4",
#    its end.
# 2. The same battle in a new game, where a key pressed every few tenths of a second keeps it at
#    one speed (the key does nothing in a battle, and the battle draws the same random numbers,
#    so it is the same battle tick for tick). Times: its start and its end.
# It prints the computers' remainder at one speed and at four times, and their ratio. This is a
# measurement, not a test: on a busy machine both are slow, and the window renders in software.
set -uo pipefail
bin="$(cd "${1:?usage: room-window.sh BIN_DIR SHOTS_DIR}" && pwd)"
mkdir -p "${2:?usage: room-window.sh BIN_DIR SHOTS_DIR}"
export BF_E2E_SHOTS="$(cd "$2" && pwd)"
work="$(mktemp -d)"
source "$(dirname "${BASH_SOURCE[0]}")/../tests/e2e/xvfb_session.bash"
trap xvfb_cleanup EXIT

now() { date +%s.%N; }
# The seconds between two times of now().
since() { python3 -c "import sys; print(f'{float(sys.argv[2]) - float(sys.argv[1]):.1f}')" "$1" "$2"; }
tap_idle_key() { xdotool key z; }

xvfb_start 1920x1080

# The volume and the mute show for a second, less than a screenshot can take on a busy machine:
# the key is pressed again before each one, while the battle is paused, so that nothing in it
# moves meanwhile; the word then comes as a fourth line under the pause's three.
step_down() { xdotool key minus; }
muted=0
mute_on() {
  if ((muted)); then
    xdotool key m m  # sound again and mute at once: the word shown is MUTE
  else
    xdotool key m
    muted=1
  fi
}
# A key every fifth of a second, from the background, for as long as the game runs.
idle_keys() {
  while game_running; do
    xdotool key z
    sleep 0.2
  done
}

game_start SDL_AUDIODRIVER=dummy
wait_for start 60 selection 1 0:0
press Return battle 60 battle
fast_start="$(now)"
tap p
wait_for paused 60 notice 3
wait_doing step_down volume 60 notice 4
wait_doing mute_on mute 60 notice 4
tap m
tap p
wait_for x4 1800 notice 1
fast_x4="$(now)"
wait_for fast-end 1800 selection 1 0:0
fast_end="$(now)"
tap Escape
game_wait_exit 60

game_start SDL_AUDIODRIVER=dummy
wait_for start-again 60 selection 1 0:0
press Return battle-again 60 battle
slow_start="$(now)"
idle_keys &
wait_for slow-end 1800 selection 1 0:0
slow_end="$(now)"
tap Escape
game_wait_exit 60

# Until the last person is out both battles run at one speed: the first one's time to its "x4"
# is the second one's too.
to_x4="$(since "$fast_start" "$fast_x4")"
fast_rest="$(since "$fast_x4" "$fast_end")"
slow_all="$(since "$slow_start" "$slow_end")"
python3 - "$to_x4" "$fast_rest" "$slow_all" <<'PY'
import sys
to_x4, fast_rest, slow_all = (float(v) for v in sys.argv[1:])
slow_rest = slow_all - to_x4
print(f"until every person was out: {to_x4:.1f} s")
print(f"the computers' remainder at one speed: {slow_rest:.1f} s, at four times: {fast_rest:.1f} s,"
      f" ratio {fast_rest / slow_rest:.2f}")
PY
