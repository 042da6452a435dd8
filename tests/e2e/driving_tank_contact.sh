#!/usr/bin/env bash
# Player 1 joins with F and drives along the near edge into player 0's corner: it is held
# outside player 0's 70-unit box on x, then turns and slides up along the box on the free z axis
# until it clears it. Every replayable step of both keyboard players must match the rules; the
# computer tanks (players 2 and 3) start in the far corners and stay out of the way this early.
# In a second battle player 0 turns in place to heading 0 (exact steps along x) and drives into
# player 1's corner: it stops at exactly 70 units, which the strict box test allows.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.bash"

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
"$sim" --script "$work/script.txt" --trace "$work/trace.jsonl" --ticks 360 \
  > "$work/out.txt" || fail "runner failed: $(cat "$work/out.txt")"
python3 "$here/driving_check.py" "$work/trace.jsonl" 0 1 > "$work/summary.json" ||
  fail "driving replay"
python3 "$here/driving_tank_contact_checks.py" "$work/trace.jsonl" "$work/summary.json" ||
  fail "tank contact check"
echo "tank contact: ok"
