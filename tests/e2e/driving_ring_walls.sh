#!/usr/bin/env bash
# Player 0 picks the ring stage (stage index 2), drives into its bottom wall and slides along it:
# every replayable step of the trace must match the driving rules, and no tank ever stands inside
# a wall or leaves the field. The computer tanks drive too; the checker leaves out only the ticks
# they legitimately changed (nets, whirlpools, eliminations). A second battle on stage index 3
# must hold only that stage's four corner squares, and there player 0 stops exactly on the face
# of the lower-left square, which the strict wall test allows.
set -uo pipefail
bin="$1"
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

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
"$bin/burrowfield-sim" --script "$work/script.txt" --trace "$work/trace.jsonl" --ticks 450 \
  > "$work/out.txt" || fail "runner failed: $(cat "$work/out.txt")"
python3 "$here/driving_check.py" "$work/trace.jsonl" 0 > "$work/summary.json" ||
  fail "driving replay"
python3 - "$work/trace.jsonl" "$work/summary.json" <<'PY' || fail "ring walls check"
import json, sys
lines = [json.loads(l) for l in open(sys.argv[1])]
summary = json.load(open(sys.argv[2]))
print(summary)
first = [l for l in lines if l["tick"] < 300 and l["screen"] == "battle"]
second = [l for l in lines if l["tick"] >= 300 and l["screen"] == "battle"]
assert first[0]["tick"] == 7, first[0]["tick"]
assert second and second[0]["tick"] == 310, second[:1]
assert all(l["stageIndex"] == 2 for l in first)
assert all(l["stageIndex"] == 3 for l in second)
free = [-5000, 0, 0, 0]
def walls(l):
    return [[l["wallX"][w], l["wallZ"][w], l["wallWidth"][w], l["wallDepth"][w]] for w in range(21)]
ring = [[-470, -470, 130, 360], [-470, -470, 940, 140], [330, -470, 130, 360],
        [-470, 80, 130, 390], [-470, 330, 940, 140], [330, 80, 130, 390]] + [free] * 15
corners = [[200, 200, 450, 450], [200, -650, 450, 450], [-650, -650, 450, 450],
           [-650, 200, 450, 450]] + [free] * 17
assert all(walls(l) == ring for l in first), walls(first[0])
# No ring wall is left over in the next battle.
assert all(walls(l) == corners for l in second), walls(second[0])
by_tick = {l["tick"]: l for l in lines}
assert by_tick[52]["tankHeading"][0] == 44, by_tick[52]["tankHeading"][0]
assert by_tick[60]["tankSpeed"][0] == 18, by_tick[60]["tankSpeed"][0]
assert by_tick[249]["tankSpeed"][0] == -9, by_tick[249]["tankSpeed"][0]
# Along the bottom wall's lower face (z = -470): held on z just below it at full speed.
along = [by_tick[t] for t in range(75, 106)]
assert all(-488 < l["tankZ"][0] <= -470 and l["tankSpeed"][0] == 18 for l in along), along[0]
slid = along[-1]["tankX"][0] - along[0]["tankX"][0]
assert slid > 350, slid
# Enough replayed steps and real wall contacts that the checks cannot pass vacuously: each wall
# contact is a step the replay undid exactly as the game did, and the tank moved on the other axis.
p0 = summary["player0"]
assert summary["checked"] >= 400, summary
assert p0["wall"] >= 35 and p0["wall_slides"] >= 35, summary
assert p0["edge"] >= 100, summary
# Standing exactly on the square's face x = -650 is outside it; every further step is undone.
assert by_tick[410]["tankHeading"][0] == 0 and by_tick[410]["tankX"][0] == -749.0
assert -650 < by_tick[410]["tankZ"][0] < -200, by_tick[410]["tankZ"][0]
assert by_tick[423]["tankX"][0] == -663.0, by_tick[423]["tankX"][0]
for t in range(424, 450):
    l = by_tick[t]
    stand = (l["tankX"][0], l["tankZ"][0])
    assert stand == (-650.0, by_tick[410]["tankZ"][0]), (t, stand)
assert by_tick[449]["tankSpeed"][0] == 18
assert p0["wall"] >= 35 + 20, summary
grid = [[1, 1, 308, 208], [311, 1, 308, 208], [1, 211, 308, 208], [311, 211, 308, 208]]
assert all(l["views"] == grid for l in first + second if l["winner"] < 0)
PY
echo "ring walls: ok"
