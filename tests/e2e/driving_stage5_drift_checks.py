"""The trace check of driving_stage5_drift.sh. Usage: TRACE SUMMARY (driving_check.py's)"""
import json
import sys

from lib.trace import battle_rows, index_by_tick, load

lines = load(sys.argv[1])
summary = json.load(open(sys.argv[2]))
by_tick = index_by_tick(lines)
battle = battle_rows(lines)
assert battle[0]["tick"] == 11 and all(l["stageIndex"] == 4 for l in battle)
assert by_tick[48]["tankSpeed"][0] == -9, by_tick[48]["tankSpeed"][0]
# Standing in the band, the tank drifts by -10 a tick, then the edge holds it at -750.
drifts = [l for p, l in zip(battle, battle[1:])
          if l["tankSpeed"][0] == 0 and -525 < l["tankZ"][0] < -350
          and l["tankX"][0] == p["tankX"][0] - 10]
assert len(drifts) >= 5, len(drifts)
assert battle[-1]["tankX"][0] == -750 and -525 < battle[-1]["tankZ"][0] < -350, battle[-1]["tankX"]
assert summary["checked"] >= 300, summary
# Mover 0 (and 3) wrap on their 109th step (battle tick 108), mover 1 on its 327th.
assert by_tick[11]["moverX"] == [1100, -1080, 1080, -1100], by_tick[11]["moverX"]
assert by_tick[118]["moverX"][0] == 2170 and by_tick[119]["moverX"][0] == -2180
assert by_tick[336]["moverX"][1] == 2170 and by_tick[337]["moverX"][1] == -2180
assert by_tick[118]["moverX"][3] == -2170 and by_tick[119]["moverX"][3] == 2180
print(summary)
