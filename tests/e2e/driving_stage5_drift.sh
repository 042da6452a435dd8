#!/usr/bin/env bash
# Stage index 4: player 0 backs into the lower drift band and stands there, drifting toward -x
# by 10 a tick until the field edge holds it; the movers run their loop and wrap on time.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.bash"

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
"$sim" --script "$work/script.txt" --trace "$work/trace.jsonl" --ticks 350 \
  > "$work/out.txt" || fail "runner failed: $(cat "$work/out.txt")"
python3 "$here/driving_check.py" "$work/trace.jsonl" 0 > "$work/summary.json" ||
  fail "driving replay"
python3 "$here/driving_stage5_drift_checks.py" "$work/trace.jsonl" "$work/summary.json" ||
  fail "stage 5 check"
echo "stage 5 drift: ok"
