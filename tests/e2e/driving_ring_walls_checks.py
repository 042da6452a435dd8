"""The trace check of driving_ring_walls.sh. Usage: TRACE SUMMARY (driving_check.py's)"""
import json
import sys

from lib.trace import FREE, WALL_SLOTS, index_by_tick, load

lines = load(sys.argv[1])
summary = json.load(open(sys.argv[2]))
print(summary)
first = [l for l in lines if l["tick"] < 300 and l["screen"] == "battle"]
second = [l for l in lines if l["tick"] >= 300 and l["screen"] == "battle"]
assert first[0]["tick"] == 7, first[0]["tick"]
assert second and second[0]["tick"] == 310, second[:1]
assert all(l["stageIndex"] == 2 for l in first)
assert all(l["stageIndex"] == 3 for l in second)
free = [FREE, 0, 0, 0]


def walls(l):
    return [[l["wallX"][w], l["wallZ"][w], l["wallWidth"][w], l["wallDepth"][w]]
            for w in range(WALL_SLOTS)]


ring = [[-470, -470, 130, 360], [-470, -470, 940, 140], [330, -470, 130, 360],
        [-470, 80, 130, 390], [-470, 330, 940, 140], [330, 80, 130, 390]]
ring += [free] * (WALL_SLOTS - len(ring))
corners = [[200, 200, 450, 450], [200, -650, 450, 450], [-650, -650, 450, 450],
           [-650, 200, 450, 450]]
corners += [free] * (WALL_SLOTS - len(corners))
assert all(walls(l) == ring for l in first), walls(first[0])
# No ring wall is left over in the next battle.
assert all(walls(l) == corners for l in second), walls(second[0])
by_tick = index_by_tick(lines)
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
