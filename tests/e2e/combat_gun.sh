#!/usr/bin/env bash
# The main gun through the keyboard in a real battle: Ctrl presses empty the bear's magazine of
# four, the fifth press clicks, held keys (auto-repeat) fire nothing more, and the shells come back
# one every 30 ticks.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.bash"

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

python3 "$here/combat_gun_checks.py" "$work/trace.jsonl" || fail "main gun trace"
echo "combat gun: ok"
