#!/usr/bin/env bash
# The room's controls beside the battle's rules: a pause with a shot in flight goes on exactly
# where it stopped, a person's pad unplugged mid-battle pauses until Start, and --volume is
# accepted (and checked) by the runner.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.bash"

python3 "$here/room_controls_checks.py" "$sim" "$work" || fail "room controls"

"$sim" --volume 3 --ticks 5 > /dev/null || fail "--volume 3 refused"
"$sim" --volume 11 --ticks 5 > /dev/null 2>&1
[ $? -eq 2 ] || fail "--volume 11 accepted"
echo "room controls: ok"
