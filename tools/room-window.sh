#!/usr/bin/env bash
# The room's controls in the real game window on a 1920 x 1080 Xvfb display, for a person to
# look at, and a measurement of what the four-times speed saves:
#
#   tools/room-window.sh BIN_DIR SHOTS_DIR
#
# Every run plays the same battle: player 0 joined and idle, three computers, started with Enter
# (the battle draws its random numbers only once it starts, and a key that does nothing in a
# battle changes nothing in it). The runner plays it first, to count its ticks: until player 0 is
# out, and in all.
# 1. In the window: P pauses it (screenshot), - and M show the volume and the mute under the
#    pause (screenshots), P goes on; once the computers have beaten player 0 it runs at four
#    times the speed (screenshot of "x4") until it ends.
# 2. The same battle in a new game, where a key pressed five times a second keeps it at one
#    speed.
# The computers' remainder in each is the battle's wall time, the pause left out, less the time
# the ticks until player 0 was out took at run 2's pace. It prints both and their ratio. This is
# a measurement, not a test: on a busy machine both runs are slow, and the window renders in
# software; the times include up to a screenshot's delay in seeing each battle end.
set -uo pipefail
bin="$(cd "${1:?usage: room-window.sh BIN_DIR SHOTS_DIR}" && pwd)"
mkdir -p "${2:?usage: room-window.sh BIN_DIR SHOTS_DIR}"
export BF_E2E_SHOTS="$(cd "$2" && pwd)"
work="$(mktemp -d)"
source "$(dirname "${BASH_SOURCE[0]}")/../tests/e2e/xvfb_session.bash"
trap xvfb_cleanup EXIT

now() { date +%s.%N; }

# The battle's ticks from the runner: its first, the first with player 0 out, its last.
printf '10 down 13\n11 up 13\n' >"$work/battle.txt"
"$bin/burrowfield-sim" --script "$work/battle.txt" --ticks 12000 --trace "$work/battle.jsonl" \
  >/dev/null || fail "the runner failed"
read -r first out last < <(python3 - "$work/battle.jsonl" <<'PY'
import json, sys
first = out = last = None
for line in open(sys.argv[1]):
    row = json.loads(line)
    if row["screen"] != "battle":
        if last is not None:
            break
        continue
    first = row["tick"] if first is None else first
    if out is None and row["playerLife"][0] <= 0:
        out = row["tick"]
    last = row["tick"]
print(first, out, last)
PY
)
[ -n "$last" ] && [ "$out" != None ] || fail "the runner's battle did not end with player 0 out"
echo "the battle: $((last - first + 1)) ticks, player 0 out after $((out - first)) of them"

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

xvfb_start 1920x1080

game_start SDL_AUDIODRIVER=dummy
wait_for start 60 selection 1 0:0
fast_start="$(now)"
press Return battle 60 battle
pause_start="$(now)"
tap p
wait_for paused 60 notice 3
wait_doing step_down volume 60 notice 4
wait_doing mute_on mute 60 notice 4
tap m
pause_end="$(now)"
tap p
wait_for x4 1800 notice 1
wait_for fast-end 1800 selection 1 0:0
fast_end="$(now)"
tap Escape
game_wait_exit 60

game_start SDL_AUDIODRIVER=dummy
wait_for start-again 60 selection 1 0:0
slow_start="$(now)"
idle_keys &
press Return battle-again 60 battle
wait_for slow-end 1800 selection 1 0:0
slow_end="$(now)"
tap Escape
game_wait_exit 60

python3 - "$fast_start" "$pause_start" "$pause_end" "$fast_end" "$slow_start" "$slow_end" \
  "$((out - first))" "$((last - first + 1))" <<'PY'
import sys
fast_start, pause_start, pause_end, fast_end, slow_start, slow_end = map(float, sys.argv[1:7])
to_out, ticks = int(sys.argv[7]), int(sys.argv[8])
slow_all = slow_end - slow_start
fast_all = fast_end - fast_start - (pause_end - pause_start)
per_tick = slow_all / ticks
until_out = to_out * per_tick
slow_rest, fast_rest = slow_all - until_out, fast_all - until_out
print(f"one speed: the battle took {slow_all:.1f} s, {1000 * per_tick:.1f} ms a tick "
      f"(20 ms when the machine keeps up)")
print(f"until player 0 was out: {until_out:.1f} s at that pace")
print(f"the computers' remainder: {slow_rest:.1f} s at one speed, {fast_rest:.1f} s at four times,"
      f" ratio {fast_rest / slow_rest:.2f}")
PY
