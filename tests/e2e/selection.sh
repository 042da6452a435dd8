#!/usr/bin/env bash
# The selection screen from start-up to the first battle tick, through the real program: player 1
# joins, players 0 and 1 pick tank types, player 0 switches to the stage row and picks stage 4
# (by wrapping below 0), then Enter starts the battle.
set -uo pipefail
bin="$1"
sim="$bin/burrowfield-sim"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cat > "$work/script.txt" <<'SCRIPT'
joysticks 0
# player 1 joins with F
2 down 70
3 up 70
# player 0: Right (type 0 -> 1)
5 down 39
6 up 39
# player 1: D, D, A (type 1 -> 2 -> 3 -> 2)
7 down 68
8 up 68
9 down 68
10 up 68
11 down 65
12 up 65
# player 0: Left twice (1 -> 0 -> 10)
13 down 37
14 up 37
15 down 37
16 up 37
# player 0 to the stage row, then Left twice (stage 1 -> 0 -> 4)
17 down 40
18 up 40
19 down 37
20 up 37
21 down 37
22 up 37
# Enter: tick 24 is the last selection tick, tick 25 the battle's first
24 down 13
26 up 13
SCRIPT

"$sim" --script "$work/script.txt" --ticks 30 --trace "$work/trace.jsonl" > "$work/out.txt" ||
  fail "runner failed: $(cat "$work/out.txt")"
grep -q '^ticks=30 battles=1 ' "$work/out.txt" || fail "summary: $(cat "$work/out.txt")"

python3 - "$work/trace.jsonl" <<'PY' || fail "trace check"
import json, sys
ticks = [json.loads(line) for line in open(sys.argv[1])]
assert [t["tick"] for t in ticks] == list(range(30)), "ticks are not 0..29"
screens = [t["screen"] for t in ticks]
assert screens == ["selection"] * 25 + ["battle"] * 5, screens

reload, life = 2, 4
expected_sounds = {2: [life], 5: [reload], 7: [reload], 9: [reload], 11: [reload],
                   13: [reload], 15: [reload], 17: [reload], 19: [reload], 21: [reload]}
for t in ticks[:25]:
    want = expected_sounds.get(t["tick"], [])
    assert t["sounds"] == want, f"tick {t['tick']}: sounds {t['sounds']}, want {want}"

def at(tick, field):
    return ticks[tick][field]

# start-up state before any key: player 0 on type 0, stage index 1, tank row
assert at(0, "playerCharacter") == [0, -1, -1, -1], at(0, "playerCharacter")
assert at(0, "stageIndex") == 1 and at(0, "menuRow") == 0 and at(0, "selectionActive") == 1
steps = {1: [0, -1], 2: [0, 1], 5: [1, 1], 7: [1, 2], 9: [1, 3], 11: [1, 2], 13: [0, 2],
         15: [10, 2], 24: [10, 2]}
for tick, want in steps.items():
    got = at(tick, "playerCharacter")[:2]
    assert got == want, f"tick {tick}: playerCharacter {got}, want {want}"
    assert at(tick, "playerCharacter")[2:] == [-1, -1]
assert [at(t, "menuRow") for t in (16, 17, 24)] == [0, 1, 1]
assert [at(t, "stageIndex") for t in (18, 19, 20, 21, 24)] == [1, 0, 0, 4, 4]
# A held key is handled once: the choice stays while it is held.
assert at(6, "playerCharacter")[0] == 1 and at(5, "steerInput")[0] == 2
assert at(24, "enterHeld") == 1 and at(24, "selectionActive") == 1

first = ticks[25]
assert first["selectionActive"] == 0, first["selectionActive"]
assert first["playerCharacter"][:2] == [10, 2], first["playerCharacter"]
assert first["stageIndex"] == 4, first["stageIndex"]
PY
echo "selection: ok"
