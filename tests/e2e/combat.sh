#!/usr/bin/env bash
# Whole battles fought with the main guns through the real program: players 0 and 1 join on the
# selection screen, aim and fire from the keyboard until one tank is left, and the trace must
# show the hits, the eliminations and the win sequence back to the selection screen.
#
# The runner replays a script exactly, so the players are steered by replaying: after every few
# ticks the battle so far is run again, the last traced state is read and the next keys are
# written from it (turn towards a tank, fire when it lies on the line of fire).
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.bash"

python3 "$here/combat_checks.py" "$sim" "$work" || fail "combat battle"
echo "combat: ok"
