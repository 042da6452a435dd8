#!/usr/bin/env bash
# An evening in the real window (Xvfb, keys from xdotool) recorded with --record, then played
# again by the runner: the runner's battles, winners and state hashes at each battle's end are the
# window's, and the instant replay watched in the window ended as the runner's battle did. The
# battle saved with F9 plays in the runner too.
#
# The evening: player 1 joins, and so does player 2 on a pad plugged in for the occasion; two
# battles against the computers, each driven a while and left with Escape. The first is paused
# with P, the volume turned down while paused (once or more), and goes on with P; then player 2
# drives with the pad's stick, the pad is pulled out (the battle stops, naming player 2 as
# "Player 3"), plugged back in (the notice says it is back), the pad's Start goes on and its
# stick drives again; back on the selection screen player 2 leaves with the pad's A. F9 in the
# second battle; a third battle where player 1 waits until the computers have put them out and
# the four-times speed comes, and the computers finish it; R on the selection screen replays the
# third battle, four-times speed and all, played out to its end; Escape ends the game. New inputs
# of the window join the evening in the marked place below, each with the screen it should reach.
#
# The pad is one of SDL's virtual pads, made by the game itself as BF_TEST_PADS tells it (the
# window reads only the machine's pads, SDL's virtual pads live only in the process that makes
# them, and /dev/uinput is not ours to use here): it then goes through the game's own pad code,
# seats, hot plug and records, as a real one does. Every order to it is waited for on the screen.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.bash"
source "$here/xvfb_session.bash"
trap xvfb_cleanup EXIT

record="$work/evening.bfreplay"
pads="$work/pads"
: >"$pads"
# pad ORDER...: one order to the game's test pads (src/platform/sdl/test_pads.h).
pad() {
  echo "$*" >>"$pads"
}
# pad_stick N X Y: the pad's left stick at X, Y (-32768 .. 32767, up and left negative).
pad_stick() {
  pad axis "$1" 0 "$2"
  pad axis "$1" 1 "$3"
}
volume_down() {
  tap minus
}
mkdir -p "$work/data"
xvfb_start
game_options=(--record "$record")
game_start SDL_AUDIODRIVER=dummy XDG_DATA_HOME="$work/data" BF_TEST_PADS="$pads"
wait_for start 20 selection 1 0:0

# Two battles, each driven a while and left with Escape. The pad, plugged in, takes the first
# free seat, player 2's, who joins with its A (button 0).
press f joined 20 selection 1 0:0 1:1
pad plug 0
pad button 0 0 1
wait_for pad-joined 20 selection 1 0:0 1:1 2:2
pad button 0 0 0
for battle in 1 2; do
  press Return "battle$battle" 30 battle full 0 1
  press "Up w Left a" "driven$battle" 20 differs "$work/battle$battle.xwd" 0 1
  # More of the evening's inputs go here: each pressed, then waited for on the screen.
  if ((battle == 1)); then
    tap p
    wait_for "paused$battle" 20 notice 3 # PAUSED, from the keyboard, how to go on
    # The volume's line shows for a second only, which a loaded machine's screenshots may miss:
    # minus again before each screenshot until one shows it.
    wait_doing volume_down "volume$battle" 20 notice 4 # and the volume
    tap p
    wait_for "going-on$battle" 20 differs "$work/paused$battle.xwd" 0
    # Player 2's pad: the stick turns and drives, the pad goes and comes back, Start goes on.
    pad_stick 0 -32768 -32768
    wait_for pad-driven 20 differs "$work/going-on$battle.xwd" 2
    pad_stick 0 0 0
    pad unplug 0
    wait_for pad-unplugged 20 notice 3 # PAUSED, "Player 3: the pad is unplugged", how to go on
    pad plug 0
    wait_for pad-back 20 notice 3 "$work/pad-unplugged.xwd" # the pad is back
    pad button 0 6 1
    wait_for pad-going-on 20 battle # the notice gone
    pad button 0 6 0
    pad_stick 0 -32768 -32768
    wait_for pad-driven-again 20 differs "$work/pad-going-on.xwd" 2
    pad_stick 0 0 0
  fi
  ((battle == 2)) && tap F9
  tap Escape
  if ((battle == 1)); then
    # Player 2 leaves with the pad's A, so that the computers alone put player 1 out in the third
    # battle.
    wait_for back1-with-pad 20 selection 1 0:0 1:1 2:2
    pad button 0 0 1
  fi
  wait_for "back$battle" 20 selection 1 0:0 1:1
  ((battle == 1)) && pad button 0 0 0
done

# A third battle: both people wait until the computers have put them out (about 40 s of battle,
# two minutes in some battles, many more of a loaded machine's window, which loses ticks), and
# then the computers go on four times as fast to the battle's end. Mostly one computer is left by
# then, and "x4" shows for a second only, while the winner's view grows: the runner's trace says
# below that the people were out before the end. No Escape there: one that came after the
# battle's end would end the game.
press Return battle3 30 battle full 0 1
wait_for back3 600 selection 1 0:0 1:1

# R watches the third battle again, to its end, then the selection screen is back. Space
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
"$sim" --script "$record" --ticks 10000000 --record "$work/runner.bfreplay" \
  --trace "$work/trace.jsonl" >"$work/summary" 2>"$work/runner.err" ||
  fail "the runner refused or lost the evening: $(cat "$work/runner.err")"
saved=("$work"/data/burrowfield/replays/*.bfreplay)
[ -f "${saved[0]}" ] || fail "F9 saved nothing under XDG_DATA_HOME"
"$sim" --script "${saved[0]}" --ticks 10000000 >/dev/null 2>"$work/saved.err" ||
  fail "the saved battle does not replay: $(cat "$work/saved.err")"
python3 - "$record" "$work/runner.bfreplay" "$work/summary" "$work/trace.jsonl" <<'PY' || fail "the runner's evening differs"
import itertools, re, sys
from lib import replay, trace
window, runner = replay.read(sys.argv[1]), replay.read(sys.argv[2])
summary = open(sys.argv[3]).read()
assert len(window.ends) == 3, f"the window recorded {len(window.ends)} battles, not 3"
# The pad's comings and goings and its Start, at the ticks the window took them.
def pad_lines(path):
    return [line for line in open(path) if re.match(r"^\d+ (plug|unplug|start) ", line)]
pad = [line.split()[1] for line in pad_lines(sys.argv[1])]
assert pad == ["plug", "unplug", "plug", "start"], f"the window recorded the pad as {pad}"
assert pad_lines(sys.argv[1]) == pad_lines(sys.argv[2]), "the runner took the pad otherwise"
assert window.ends == runner.ends, f"battle ends differ: {window.ends} / {runner.ends}"
winners = [w for _, _, _, w in window.ends]
assert f"battles={len(winners)} winners=[{','.join(map(str, winners))}]" in summary, summary
# The third battle went on four times as fast: every person in it was out before its end.
battles = [list(rows) for is_battle, rows in
           itertools.groupby(trace.load(sys.argv[4]), lambda row: row["screen"] == "battle")
           if is_battle]
people = [p for p in range(4) if battles[2][0]["computerDriven"][p] == 0]
assert people and any(all(row["playerLife"][p] <= 0 for p in people) for row in battles[2]), \
    "the people were never all out in the third battle: no four-times speed"
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
