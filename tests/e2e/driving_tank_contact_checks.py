"""The trace check of driving_tank_contact.sh. Usage: TRACE SUMMARY (driving_check.py's)"""
import json
import sys

from lib.trace import NOT_JOINED, index_by_tick, load

lines = load(sys.argv[1])
summary = json.load(open(sys.argv[2]))
print(summary)
battle = [l for l in lines if l["screen"] == "battle" and l["tick"] < 200]
second = [l for l in lines if l["screen"] == "battle" and l["tick"] >= 200]
by_tick = index_by_tick(lines)
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
assert after["playerCharacter"] == [0, 1, NOT_JOINED, NOT_JOINED], after["playerCharacter"]
