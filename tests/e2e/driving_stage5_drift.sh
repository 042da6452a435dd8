#!/usr/bin/env bash
# Stage index 4: player 0 backs into the lower drift band and stands there, drifting toward -x
# by 10 a tick until the field edge holds it; the movers run their loop and wrap on time.
set -uo pipefail
bin="$1"
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cat > "$work/script.txt" <<'SCRIPT'
# Every slot is joined (player 1 with F, players 2 and 3 with button 1 of their pads), so no
# computer tank drives or shoots: the drift is the only thing moving player 0.
joysticks 2
1 down 70
2 up 70
1 joy 0 32768 32768 1
1 joy 1 32768 32768 1
2 joy 0 32768 32768 0
2 joy 1 32768 32768 0
# Down to the stage row, Right three times: stage 1 -> 4. The battle starts at tick 11.
1 down 40
2 up 40
3 down 39
4 up 39
5 down 39
6 up 39
7 down 39
8 up 39
10 down 13
11 up 13
# Reverse for 35 ticks, away from the corner and into the band -525 < z < -350.
14 down 40
49 up 40
345 down 27
SCRIPT
"$bin/burrowfield-sim" --script "$work/script.txt" --trace "$work/trace.jsonl" --ticks 350 \
  > "$work/out.txt" || fail "runner failed: $(cat "$work/out.txt")"
python3 "$here/driving_check.py" "$work/trace.jsonl" 0 > "$work/summary.json" ||
  fail "driving replay"
python3 - "$work/trace.jsonl" "$work/summary.json" <<'PY' || fail "stage 5 check"
import json, sys
lines = [json.loads(l) for l in open(sys.argv[1])]
summary = json.load(open(sys.argv[2]))
by_tick = {l["tick"]: l for l in lines}
battle = [l for l in lines if l["screen"] == "battle"]
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
PY
echo "stage 5 drift: ok"
