#!/usr/bin/env bash
# Player 0 picks the ring stage (stage index 2), drives into its bottom wall and slides along it:
# every replayable step of the trace must match the driving rules, and no tank ever stands inside
# a wall or leaves the field. The computer tanks drive too; the checker leaves out only the ticks
# they legitimately changed (nets, whirlpools, eliminations). A second battle on stage index 3
# must hold only that stage's four corner squares, and there player 0 stops exactly on the face
# of the lower-left square, which the strict wall test allows.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.bash"

cat > "$work/script.txt" <<'SCRIPT'
# Selection: Down moves player 0 to the stage row, Right moves the stage from 1 to 2.
1 down 40
2 up 40
3 down 39
4 up 39
# Enter: tick 6 is the last selection tick, tick 7 the battle's first.
6 down 13
7 up 13
# Forward, and 43 ticks of left turn: 235 -> 359 -> 0 -> 44, toward the ring.
10 down 38
10 down 37
53 up 37
# A right turn along the walls.
150 down 39
170 up 39
# Reverse away, then forward again.
220 up 38
220 down 40
250 up 40
250 down 38
300 down 27
301 up 27
# Back on the selection screen (tank row): Down, Right to stage index 3, Enter at tick 309.
303 down 40
304 up 40
306 down 39
307 up 39
309 down 13
310 up 13
# Second battle: turn right with the throttle, up the left edge (x stays clamped at -750) ...
312 down 39
312 down 38
338 up 39
# ... coast to a stop while turning left in place, 131 -> 363 = 0: exact steps along x from now.
350 up 38
350 down 37
408 up 37
# One tick off the throttle makes the run exactly 100 units: from -750 to the face at -650.
410 down 38
415 up 38
416 down 38
SCRIPT
"$sim" --script "$work/script.txt" --trace "$work/trace.jsonl" --ticks 450 \
  > "$work/out.txt" || fail "runner failed: $(cat "$work/out.txt")"
python3 "$here/driving_check.py" "$work/trace.jsonl" 0 > "$work/summary.json" ||
  fail "driving replay"
python3 "$here/driving_ring_walls_checks.py" "$work/trace.jsonl" "$work/summary.json" ||
  fail "ring walls check"
echo "ring walls: ok"
