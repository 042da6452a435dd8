#!/usr/bin/env bash
# An evening in the real window (Xvfb, keys from xdotool) recorded with --record, then played
# again by the runner: the runner's battles, winners and state hashes at each battle's end are the
# window's, and the instant replay watched in the window ended as the runner's battle did. The
# battle saved with F9 plays in the runner too.
#
# The evening: player 1 joins, two battles against the computers, each driven a while and left
# with Escape, the first paused with P, the volume turned down while paused, and going on with
# P; F9 in the second; a third battle where player 1 waits until the computers have put them out
# and the four-times speed comes, then leaves with Escape; R on the selection screen replays the
# third battle, four-times speed and all, played out to its end; Escape ends the game. New inputs
# of the window join the evening in the marked place below, each with the screen it should reach.
# A pad dropped and plugged back is not among them: the window reads only the machine's pads
# (SDL's virtual pads live in the process that makes them, and /dev/uinput is not ours to use
# here); the runner's replay test unplugs and plugs pads back in its fuzzed evening, and
# sdl_joysticks_test unplugs SDL's virtual pads through the window's own code.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.bash"
source "$here/xvfb_session.bash"
trap xvfb_cleanup EXIT

record="$work/evening.bfreplay"
mkdir -p "$work/data"
xvfb_start
game_options=(--record "$record")
game_start SDL_AUDIODRIVER=dummy XDG_DATA_HOME="$work/data"
wait_for start 20 selection 1 0:0

# Two battles, each driven a while and left with Escape.
press f joined 20 selection 1 0:0 1:1
for battle in 1 2; do
  press Return "battle$battle" 30 battle full 0 1
  press "Up w Left a" "driven$battle" 20 differs "$work/battle$battle.xwd" 0 1
  # More of the evening's inputs go here: each pressed, then waited for on the screen.
  if ((battle == 1)); then
    tap p
    wait_for "paused$battle" 20 notice 3 # PAUSED, from the keyboard, how to go on
    tap minus
    wait_for "volume$battle" 20 notice 4 # and the volume, for a second
    tap p
    wait_for "going-on$battle" 20 differs "$work/paused$battle.xwd" 0
  fi
  ((battle == 2)) && tap F9
  tap Escape
  wait_for "back$battle" 20 selection 1 0:0 1:1
done

# A third battle: both people wait until the computers have put them out (about 40 s of battle,
# minutes of a loaded machine's window, which loses ticks), and then the computers go on four
# times as fast ("x4") until Escape.
press Return battle3 30 battle full 0 1
wait_for fast3 420 notice 1 # x4
tap Escape
wait_for back3 20 selection 1 0:0 1:1

# R watches the third battle again, up to its Escape, then the selection screen is back. Space
# right after R starts it paused, so the screen can be seen; Right doubles the speed thrice (x8,
# times four at the end), Space plays.
xdotool key r space || fail "xdotool cannot press r and space"
wait_for instant 30 notice 1 # "REPLAY  PAUSED"
for _ in 1 2 3; do tap Right; done
tap space
wait_for instant-back 180 selection 1 0:0 1:1

tap Escape
game_wait_exit 30
[ "$game_rc" -eq 0 ] || fail "the game ended with status $game_rc"
check_clean_stderr "window replay"
[ -s "$record" ] || fail "no record written"

# The runner plays the record: no battle may end otherwise than the window's did.
"$sim" --script "$record" --ticks 10000000 --record "$work/runner.bfreplay" >"$work/summary" \
  2>"$work/runner.err" || fail "the runner refused or lost the evening: $(cat "$work/runner.err")"
saved=("$work"/data/burrowfield/replays/*.bfreplay)
[ -f "${saved[0]}" ] || fail "F9 saved nothing under XDG_DATA_HOME"
"$sim" --script "${saved[0]}" --ticks 10000000 >/dev/null 2>"$work/saved.err" ||
  fail "the saved battle does not replay: $(cat "$work/saved.err")"
python3 - "$record" "$work/runner.bfreplay" "$work/summary" <<'PY' || fail "the runner's evening differs"
import re, sys
from lib import replay
window, runner = replay.read(sys.argv[1]), replay.read(sys.argv[2])
summary = open(sys.argv[3]).read()
assert len(window.ends) == 3, f"the window recorded {len(window.ends)} battles, not 3"
assert window.ends == runner.ends, f"battle ends differ: {window.ends} / {runner.ends}"
winners = [w for _, _, _, w in window.ends]
assert f"battles={len(winners)} winners=[{','.join(map(str, winners))}]" in summary, summary
assert len(window.instant) == 1, "no instant replay noted"
battle, tick, state = window.instant[0]
assert (battle, tick, state) == runner.ends[battle - 1][:3], "the instant replay ended otherwise"
print(f"window replay: {len(winners)} battles, ends and instant replay agree")
PY
# The window plays the record itself, eight times as fast, and quits at its end: a battle that
# ended otherwise would stop it with a message box instead.
game_options=(--replay "$record")
game_start SDL_AUDIODRIVER=dummy XDG_DATA_HOME="$work/data"
wait_for played-start 20 selection 1 0:0
for _ in 1 2 3; do tap Right; done
game_wait_exit 240
[ "$game_rc" -eq 0 ] || fail "the window's replay ended with status $game_rc"
check_clean_stderr "window replay of the record"
echo "window_replay: ok"
