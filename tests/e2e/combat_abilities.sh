#!/usr/bin/env bash
# Every tank type launches its ability from the keyboard in a real battle: player 0 picks the type
# on the selection screen, presses Shift with a full magazine, and the trace must show the launch
# sound, the running timer, the spent magazine and its reload (40 ticks, then 30 per shell).
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.bash"

python3 "$here/combat_abilities_checks.py" "$sim" "$work" || fail "ability launches"
echo "combat abilities: ok"
