#!/usr/bin/env bash
# Player 1 joins with F and drives along the near edge into player 0's corner: it is held
# outside player 0's 70-unit box on x, then turns and slides up along the box on the free z axis
# until it clears it. Every replayable step of both keyboard players must match the rules; the
# computer tanks (players 2 and 3) start in the far corners and stay out of the way this early.
# In a second battle player 0 turns in place to heading 0 (exact steps along x) and drives into
# player 1's corner: it stops at exactly 70 units, which the strict box test allows.
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
# Held on x from tick 98 on; a right turn to 167 makes it slide up along player 0's box.
140 down 68
144 up 68
200 down 27
201 up 27
# Second battle from tick 206: 32 left turns in place, 235 -> 363 = 0, then forward along
# z = -750. One tick off the throttle makes the run exactly 1430 units: from -750 to 680.
205 down 13
206 up 13
208 down 37
240 up 37
242 down 38
280 up 38
281 down 38
SCRIPT
"$bin/burrowfield-sim" --script "$work/script.txt" --trace "$work/trace.jsonl" --ticks 360 \
  > "$work/out.txt" || fail "runner failed: $(cat "$work/out.txt")"
python3 "$here/driving_check.py" "$work/trace.jsonl" 0 1 > "$work/summary.json" ||
  fail "driving replay"
python3 - "$work/trace.jsonl" "$work/summary.json" <<'PY' || fail "tank contact check"
import json, sys
lines = [json.loads(l) for l in open(sys.argv[1])]
summary = json.load(open(sys.argv[2]))
print(summary)
battle = [l for l in lines if l["screen"] == "battle" and l["tick"] < 200]
second = [l for l in lines if l["screen"] == "battle" and l["tick"] >= 200]
by_tick = {l["tick"]: l for l in lines}
assert battle[0]["tick"] == 5, battle[0]["tick"]
assert battle[0]["playerCharacter"][:2] == [0, 1], battle[0]["playerCharacter"]
assert battle[0]["computerDriven"] == [0, 0, 1, 1], battle[0]["computerDriven"]
assert all(l["tankX"][0] == -750.0 and l["tankZ"][0] == -750.0 for l in battle)
# Held just outside player 0's box on x, pressed against the edge on z, at full speed.
held = [by_tick[t] for t in range(98, 140)]
hold_x = held[0]["tankX"][1]
assert -680 <= hold_x < -660, hold_x
for l in held:
    assert (l["tankX"][1], l["tankZ"][1]) == (hold_x, -750.0), (l["tick"], l["tankX"][1])
    assert l["tankHeading"][1] == 183 and l["tankSpeed"][1] == 20, l["tick"]
# Turned to 167: still held on x while z slides up along the box, until z clears it.
slide = [by_tick[t] for t in range(140, 157)]
assert all(l["tankX"][1] == hold_x for l in slide), [l["tankX"][1] for l in slide]
zs = [l["tankZ"][1] for l in slide]
assert all(a < b for a, b in zip(zs, zs[1:])) and zs[-1] < -680, zs
assert by_tick[157]["tankZ"][1] > -680 or by_tick[158]["tankZ"][1] > -680
assert by_tick[160]["tankX"][1] < hold_x - 30, by_tick[160]["tankX"][1]
p1 = summary["player1"]
assert p1["tank"] >= 55 and p1["tank_slides"] >= 15, summary
assert p1["edge"] >= 50, summary
# Exactly 70 units from player 1 is not inside its box: player 0 stands at 680, held there.
assert second[0]["tick"] == 206 and second[0]["computerDriven"] == [0, 0, 1, 1], second[0]["tick"]
assert all(l["tankX"][1] == 750.0 and l["tankZ"][1] == -750.0 for l in second)
assert by_tick[240]["tankHeading"][0] == 0 and by_tick[240]["tankX"][0] == -750.0
assert by_tick[328]["tankX"][0] == 662.0, by_tick[328]["tankX"][0]
for t in range(329, 360):
    l = by_tick[t]
    stand = (l["tankX"][0], l["tankZ"][0], l["tankSpeed"][0])
    assert stand == (680.0, -750.0, 18), (t, stand)
assert summary["player0"]["tank"] >= 25, summary
assert summary["checked"] >= 2 * 320, summary
# Leaving the battle frees the computer slots and keeps the joined players' types.
after = by_tick[204]
assert after["screen"] == "selection"
assert after["playerCharacter"] == [0, 1, -1, -1], after["playerCharacter"]
PY
echo "tank contact: ok"
