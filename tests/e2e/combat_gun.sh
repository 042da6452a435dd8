#!/usr/bin/env bash
# The main gun through the keyboard in a real battle: Ctrl presses empty the bear's magazine of
# four, the fifth press clicks, held keys (auto-repeat) fire nothing more, and the shells come back
# one every 30 ticks.
set -uo pipefail
bin="$1"
sim="$bin/burrowfield-sim"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -x "$sim" ] || fail "no runner at $sim"

cat > "$work/script.txt" <<'EOF'
# Enter on tick 10: the battle's first tick is 11.
10 down 13
11 up 13
# Four shots, one press each.
13 down 17 2
14 up 17 0
15 down 17 2
16 up 17 0
17 down 17 2
18 up 17 0
19 down 17 2
20 up 17 0
# The empty magazine clicks once; the auto-repeat of the held key does nothing.
21 down 17 2
22 down 17 2
23 down 17 2
24 up 17 0
# Pressed once the first shell is back (tick 48) and held: one shot, then nothing until released.
50 down 17 2
51 down 17 2
52 down 17 2
53 up 17 0
EOF
"$sim" --script "$work/script.txt" --ticks 150 --trace "$work/trace.jsonl" > "$work/out.txt" ||
  fail "runner failed"

python3 - "$work/trace.jsonl" <<'PY' || fail "main gun trace"
import json, math, sys

SHOT, RELOAD = 0, 2
ticks = [json.loads(line) for line in open(sys.argv[1])]
assert ticks[11]["screen"] == "battle" and ticks[10]["screen"] == "selection"
# The computer's tanks fire too: player 0's shots are the ticks its magazine loses a shell.
shot_ticks = [t["tick"] for p, t in zip(ticks[10:], ticks[11:]) if t["shells"][0] < p["shells"][0]]
assert shot_ticks == [13, 15, 17, 19, 50], shot_ticks
assert all(SHOT in ticks[tick]["sounds"] for tick in shot_ticks)
# The click of tick 21 spends the request; the held key's repeats leave it spent.
assert RELOAD in ticks[21]["sounds"], ticks[21]["sounds"]
assert [ticks[tick]["fireState"][0] for tick in (20, 21, 22, 23, 24)] == [0, -1, -1, -1, 0]

# The first shell leaves 60 ahead of the bear at (-750, -750), heading 235, with 3.14 for pi.
h = 235 * 3.14 / 180
first = ticks[13]
assert first["shotX"][0] == -750 + 60 * math.cos(h), first["shotX"][0]
assert first["shotZ"][0] == -750 + 60 * math.sin(h), first["shotZ"][0]
assert first["shotDX"][0] == 30 * math.cos(h) and first["shotDZ"][0] == 30 * math.sin(h)
assert first["tankSpeed"][0] == -9, first["tankSpeed"][0]
assert first["shells"][0] == 3 and first["reloadTimer"][0] == 29
# Its first step takes it beyond -800, so the slot is free again on the next tick.
assert ticks[14]["shotX"][0] == -5000, ticks[14]["shotX"][0]

shells = [t["shells"][0] for t in ticks]
# The last of the four shots (tick 19) starts the reload: a shell every 30 ticks, on tick 48 the
# first; the shot of tick 50 starts it again.
assert shells[19] == 0 and shells[47] == 0 and shells[48] == 1, shells[17:50]
returns = [tick for tick in range(51, 150) if shells[tick] > shells[tick - 1]]
assert returns == [79, 109, 139], returns
assert ticks[149]["shells"][0] == 3 and ticks[149]["reloadTimer"][0] == 20
PY
echo "combat gun: ok"
