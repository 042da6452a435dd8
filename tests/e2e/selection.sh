#!/usr/bin/env bash
# The selection screen from start-up to the first battle tick, through the real program: player 1
# joins, players 0 and 1 pick tank types, player 0 switches to the stage row and picks stage 4
# (by wrapping below 0), then Enter starts the battle.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.bash"

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

python3 "$here/selection_checks.py" "$work/trace.jsonl" || fail "trace check"
echo "selection: ok"
