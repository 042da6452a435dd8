#!/usr/bin/env bash
# Player 0 picks the ring stage (stage index 2) and drives into its walls: every step of the
# trace must match the driving rules, and the tank never stands inside a wall or leaves the field.
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
SCRIPT
"$bin/burrowfield-sim" --script "$work/script.txt" --trace "$work/trace.jsonl" --ticks 320 \
  > "$work/out.txt" || fail "runner failed: $(cat "$work/out.txt")"
python3 "$here/driving_check.py" "$work/trace.jsonl" 0 > "$work/summary.json" ||
  fail "driving replay"
python3 - "$work/trace.jsonl" "$work/summary.json" <<'PY' || fail "ring walls check"
import json, sys
lines = [json.loads(l) for l in open(sys.argv[1])]
summary = json.load(open(sys.argv[2]))
battle = [l for l in lines if l["screen"] == "battle"]
assert battle[0]["tick"] == 7, battle[0]["tick"]
assert all(l["stageIndex"] == 2 for l in battle)
assert battle[0]["wallX"][:7] == [-470, -470, 330, -470, -470, 330, -5000], battle[0]["wallX"]
by_tick = {l["tick"]: l for l in lines}
assert by_tick[52]["tankHeading"][0] == 44, by_tick[52]["tankHeading"][0]
assert by_tick[60]["tankSpeed"][0] == 18, by_tick[60]["tankSpeed"][0]
assert by_tick[249]["tankSpeed"][0] == -9, by_tick[249]["tankSpeed"][0]
# Player 0 met the ring walls; every view of every tick is the plain 2 x 2 grid.
assert summary["player0"]["wall"] >= 5, summary
assert summary["checked"] >= 250, summary
grid = [[1, 1, 308, 208], [311, 1, 308, 208], [1, 211, 308, 208], [311, 211, 308, 208]]
assert all(l["views"] == grid for l in battle if l["winner"] < 0)
assert lines[-1]["screen"] == "selection"
print(summary)
PY
echo "ring walls: ok"
