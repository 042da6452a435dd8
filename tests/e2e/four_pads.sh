#!/usr/bin/env bash
# An evening with four pads and no key at all: four pads join and pick tank types, player 0's
# pad picks the stage, Start begins each battle, the pads drive, fire and launch abilities, Back
# held a second leaves a battle, and Back held on the selection screen quits with status 0.
# Pads 0 and 1 are players 2 and 3; pads 2 and 3 are players 0 and 1, through their keys.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.bash"

cat > "$work/evening.txt" <<'SCRIPT'
joysticks 4
# Pads 0 and 1 seat players 2 and 3: A (button 1) joins each.
2 joy 0 32768 32768 1
3 joy 0 32768 32768 0
4 joy 1 32768 32768 1
5 joy 1 32768 32768 0
# Pad 3 seats player 1: A is F, which joins.
6 joy 3 32768 32768 1
7 joy 3 32768 32768 0
# Pad 2 seats player 0, who starts joined: A is Ctrl, which leaves, and again joins.
8 joy 2 32768 32768 1
9 joy 2 32768 32768 0
10 joy 2 32768 32768 1
11 joy 2 32768 32768 0
# Tank types with the sticks: player 0 left (0 -> 10), player 1 right (1 -> 2),
# player 2 right (2 -> 3), player 3 left twice (3 -> 2 -> 1).
12 joy 2 0 32768 0
12 joy 3 65535 32768 0
12 joy 0 65535 32768 0
12 joy 1 0 32768 0
13 joy 2 32768 32768 0
13 joy 3 32768 32768 0
13 joy 0 32768 32768 0
13 joy 1 32768 32768 0
14 joy 1 0 32768 0
15 joy 1 32768 32768 0
# Player 0's pad: down to the stage row, right twice (stage 1 -> 3).
16 joy 2 32768 65535 0
17 joy 2 32768 32768 0
18 joy 2 65535 32768 0
19 joy 2 32768 32768 0
20 joy 2 65535 32768 0
21 joy 2 32768 32768 0
# Start on pad 1: tick 24 is the last selection tick, tick 25 the battle's first.
24 joy 1 32768 32768 64
26 joy 1 32768 32768 0
# Everybody drives forward, fires once with A and turns.
30 joy 0 32768 0 0
30 joy 1 32768 0 0
30 joy 2 32768 0 0
30 joy 3 32768 0 0
40 joy 0 32768 0 1
40 joy 1 32768 0 1
40 joy 2 32768 0 1
40 joy 3 32768 0 1
42 joy 0 65535 0 0
42 joy 1 0 0 0
42 joy 2 65535 0 0
42 joy 3 0 0 0
# B (button 2) on every pad: each player's ability, with the magazine full again.
75 joy 0 32768 32768 2
75 joy 1 32768 32768 2
75 joy 2 32768 32768 2
75 joy 3 32768 32768 2
77 joy 0 32768 32768 0
77 joy 1 32768 32768 0
77 joy 2 32768 32768 0
77 joy 3 32768 32768 0
# Back tapped for half a second leaves nothing.
80 joy 0 32768 32768 16
105 joy 0 32768 32768 0
# Back held on player 0's pad: Escape a second later leaves the battle.
110 joy 2 32768 32768 16
180 joy 2 32768 32768 0
# The second battle, started from pad 3, where pad 3 fires and pad 0 leaves.
190 joy 3 32768 32768 64
192 joy 3 32768 32768 0
200 joy 3 32768 0 1
202 joy 3 32768 32768 0
210 joy 0 32768 32768 16
300 joy 0 32768 32768 0
# Back held on the selection screen quits.
310 joy 3 32768 32768 16
SCRIPT
"$sim" --script "$work/evening.txt" --trace "$work/trace.jsonl" --shot 24,29,100 \
  --shots-dir "$work" > "$work/out.txt" || fail "runner failed: $(cat "$work/out.txt")"
grep -q '^ticks=359 battles=2 ' "$work/out.txt" || fail "summary: $(cat "$work/out.txt")"

python3 "$here/four_pads_checks.py" "$work/trace.jsonl" || fail "trace check"

python3 "$here/screen_check.py" "$work/tick-24.png" selection 3 0:10 1:2 2:3 3:1 ||
  fail "the selection screen with four players"
python3 "$here/screen_check.py" "$work/tick-100.png" battle shells-spent 0 1 2 3 ||
  fail "the battle of four"
python3 "$here/screen_check.py" "$work/tick-100.png" differs "$work/tick-29.png" 0 1 2 3 ||
  fail "the four views did not move"
echo "four pads: ok"
