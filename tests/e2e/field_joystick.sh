#!/usr/bin/env bash
# Players 2 and 3 on joysticks through the whole program: joining, choosing and driving with the
# first joystick, the second one missing, and no joystick at all.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.bash"

# run_and_check NAME TICKS WHAT: runs the script NAME.txt for TICKS ticks and checks its trace
# with field_joystick_checks.py NAME.
run_and_check() {
  "$sim" --script "$work/$1.txt" --trace "$work/$1.jsonl" --ticks "$2" > "$work/out.txt" ||
    fail "$3 run failed"
  python3 "$here/field_joystick_checks.py" "$1" "$work/$1.jsonl" || fail "$3 trace check"
}

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
run_and_check one 21 "one-joystick"

# No joystick: players 2 and 3 read nothing at all.
cat > "$work/none.txt" <<'SCRIPT'
5 joy 0 65535 65535 1
6 joy 1 0 0 1
SCRIPT
run_and_check none 12 "no-joystick"
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
run_and_check battle 60 "joystick battle"

echo "field joystick: ok"
