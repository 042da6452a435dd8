#!/usr/bin/env bash
# The five attacking abilities launched in a battle by player 0 against player 1, who joined
# with the pig (life 150) and stands still; the trace must show what each does tick by tick.
# Players 2 and 3 are computer driven and may shoot at player 1 meanwhile: every check allows
# for their 10-point hits.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.bash"

python3 "$here/abilities_attacks_checks.py" "$sim" "$work" || fail "abilities attacks"
echo "abilities attacks: ok"
