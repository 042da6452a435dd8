#!/usr/bin/env bash
# Player 1 joins with F and drives along the near edge into player 0's corner: it is held
# outside player 0's 70-unit box, and every step of both keyboard players matches the rules.
set -uo pipefail
bin="$1"
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cat > "$work/script.txt" <<'SCRIPT'
# F joins player 1 as type 1; Enter at tick 4, the battle starts at tick 5.
1 down 70
2 up 70
4 down 13
5 up 13
# W forward, D right for 33 ticks: 315 -> 183, along z = -750 toward player 0.
8 down 87
8 down 68
41 up 68
260 down 27
SCRIPT
"$bin/burrowfield-sim" --script "$work/script.txt" --trace "$work/trace.jsonl" --ticks 280 \
  > "$work/out.txt" || fail "runner failed: $(cat "$work/out.txt")"
python3 "$here/driving_check.py" "$work/trace.jsonl" 0 1 > "$work/summary.json" ||
  fail "driving replay"
python3 - "$work/trace.jsonl" "$work/summary.json" <<'PY' || fail "tank contact check"
import json, sys
lines = [json.loads(l) for l in open(sys.argv[1])]
summary = json.load(open(sys.argv[2]))
battle = [l for l in lines if l["screen"] == "battle"]
assert battle[0]["tick"] == 5, battle[0]["tick"]
assert battle[0]["playerCharacter"][:2] == [0, 1], battle[0]["playerCharacter"]
assert battle[0]["computerDriven"][:2] == [0, 0], battle[0]["computerDriven"]
last = battle[-1]
assert last["tankHeading"][1] == 183, last["tankHeading"][1]
assert last["tankSpeed"][1] == 20, last["tankSpeed"][1]
# Held just outside player 0's box: never 70 or more units closer on both axes.
x0, x1 = last["tankX"][0], last["tankX"][1]
assert -680 <= x1 < -660, (x0, x1)
assert last["tankZ"][1] == -750.0, last["tankZ"][1]
assert summary["player1"]["tank"] >= 50, summary
assert summary["player1"]["edge"] >= 50, summary
assert summary["checked"] >= 2 * 250, summary
# Leaving the battle frees the computer slots and keeps the joined players' types.
after = lines[-1]
assert after["screen"] == "selection"
assert after["playerCharacter"] == [0, 1, -1, -1], after["playerCharacter"]
print(summary)
PY
echo "tank contact: ok"
