#!/usr/bin/env bash
# The cloak, the shield, the dash and the decoy launched in a battle by player 0, with player 1
# joined beside it, and the nets and mines that need no running ability; the trace must show what
# each does tick by tick.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.bash"

python3 "$here/abilities_defences_checks.py" "$sim" "$work" || fail "abilities defences"
echo "abilities defences: ok"
