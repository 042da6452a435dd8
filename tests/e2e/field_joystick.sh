#!/usr/bin/env bash
# Players 2 and 3 on joysticks through the whole program: joining, choosing and driving with the
# first joystick, the second one missing, and no joystick at all.
set -uo pipefail
bin="$1"
sim="$bin/burrowfield-sim"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# One joystick: button 1 joins player 2, a push right picks the next type once; buttons 1 and 2
# together and a held button ask nothing more.
cat > "$work/one.txt" <<'SCRIPT'
joysticks 1
5 joy 0 32768 32768 1
8 joy 0 32768 32768 3
9 joy 0 32768 32768 0
10 joy 0 65535 32768 0
14 joy 0 32768 32768 0
SCRIPT
"$sim" --script "$work/one.txt" --trace "$work/one.jsonl" --ticks 21 > "$work/out.txt" ||
  fail "one-joystick run failed"
python3 - "$work/one.jsonl" <<'PY' || fail "one-joystick trace check"
import json, sys
t = [json.loads(l) for l in open(sys.argv[1])]
sel = [l for l in t if l["screen"] == "selection"]
bat = [l for l in t if l["screen"] == "battle"]
assert [l["tick"] for l in sel] == list(range(21)), [l["tick"] for l in sel]
assert all(l["playerCharacter"][2] == -1 for l in t[:5])
assert t[5]["playerCharacter"][2] == 2 and t[5]["sounds"] == [4], t[5]
assert all(l["playerCharacter"][2] == 2 for l in t[5:10])
assert t[10]["playerCharacter"][2] == 3 and t[10]["steerInput"][2] == 2, t[10]
assert all(l["playerCharacter"][2] == 3 for l in sel[10:])
# The missing second joystick reads left every tick and never joins player 3.
assert all(l["steerInput"][3] == -1 and l["playerCharacter"][3] == -1 for l in sel)
PY

# No joystick: players 2 and 3 read nothing at all.
cat > "$work/none.txt" <<'SCRIPT'
5 joy 0 65535 65535 1
6 joy 1 0 0 1
SCRIPT
"$sim" --script "$work/none.txt" --trace "$work/none.jsonl" --ticks 12 > "$work/out.txt" ||
  fail "no-joystick run failed"
python3 - "$work/none.jsonl" <<'PY' || fail "no-joystick trace check"
import json, sys
t = [json.loads(l) for l in open(sys.argv[1])]
assert len(t) == 12
for l in t:
    assert l["steerInput"][2:] == [0, 0] and l["fireState"][2:] == [0, 0], l["tick"]
    assert l["playerCharacter"][2:] == [-1, -1], l["tick"]
PY
# In a battle the first joystick drives player 2: up-left forward and left, down-right back and
# right; button 1 alone fires once per press, buttons 1 and 2 together ask nothing. Player 3,
# whose joystick is missing, was never joined and is driven by the computer.
cat > "$work/battle.txt" <<'SCRIPT'
joysticks 1
2 joy 0 32768 32768 1
3 joy 0 32768 32768 0
5 down 13
6 up 13
10 joy 0 0 0 0
40 joy 0 65535 65535 0
50 joy 0 32768 32768 1
52 joy 0 32768 32768 0
54 joy 0 32768 32768 3
56 joy 0 32768 32768 0
SCRIPT
"$sim" --script "$work/battle.txt" --trace "$work/battle.jsonl" --ticks 60 > "$work/out.txt" ||
  fail "joystick battle run failed"
python3 - "$work/battle.jsonl" <<'PY' || fail "joystick battle trace check"
import json, sys
t = {l["tick"]: l for l in map(json.loads, open(sys.argv[1]))}
assert t[5]["screen"] == "selection" and t[6]["screen"] == "battle", (t[5]["screen"], t[6]["screen"])
b = t[6]
assert b["computerDriven"] == [0, 1, 0, 1], b["computerDriven"]
assert b["playerCharacter"][2] == 2
for k in range(10, 40):
    assert t[k]["steerInput"][2] == -1 and t[k]["throttleInput"][2] == -1, k
assert t[39]["tankSpeed"][2] > 0, t[39]["tankSpeed"]
assert t[39]["tankHeading"][2] != t[9]["tankHeading"][2]
for k in range(40, 50):
    assert t[k]["steerInput"][2] == 1 and t[k]["throttleInput"][2] == 1, k
# One shot for one press of button 1, none for buttons 1 and 2 together.
assert t[50]["shells"][2] == t[49]["shells"][2] - 1, (t[49]["shells"], t[50]["shells"])
assert t[50]["fireState"][2] == -1 and t[51]["fireState"][2] == -1
assert t[52]["fireState"][2] == 0
assert all(t[k]["fireState"][2] == 0 for k in range(54, 60))
assert t[59]["shells"][2] >= t[53]["shells"][2], (t[53]["shells"], t[59]["shells"])
PY

echo "field joystick: ok"
