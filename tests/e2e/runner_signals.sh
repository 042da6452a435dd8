#!/usr/bin/env bash
# SIGINT and SIGTERM end the runner in order within a second, with and without rendering: the
# trace is written up to the last processed tick, the summary follows, and the status is the
# one the signal gives (130 and 143 in a shell). The runner plays computer battles one after
# another until the signal comes.
set -uo pipefail
bin="$1"
sim="$bin/burrowfield-sim"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# A sanitizer build checks its memory on the way out, which takes longer.
limit=1.0
[ -n "${ASAN_OPTIONS:-}" ] && limit=10.0

# Player 0 leaves on the selection screen, then Enter is held: battle follows battle.
printf '1 down 40\n2 up 40\n3 down 17 2\n4 up 17 0\n5 down 13\n' >"$work/battles.txt"
for render in "" --render; do
  for signal in INT TERM; do
    name="SIG$signal${render:+ with $render}"
    start=$EPOCHREALTIME
    # The trace goes through a pipe, so that a fast run fills no disk; only its end is kept.
    timeout --preserve-status -k 20 -s "$signal" 2 "$sim" --script "$work/battles.txt" $render \
      --ticks 1000000000 --trace /dev/stdout 2>"$work/err.txt" | tail -n 2 >"$work/end.txt"
    rc=${PIPESTATUS[0]}
    elapsed=$(python3 -c "print(f'{$EPOCHREALTIME - $start - 2:.2f}')")
    want=$((128 + $(kill -l "$signal")))
    [ "$rc" -eq "$want" ] || fail "$name: status $rc, want $want: $(cat "$work/err.txt")"
    python3 -c "import sys; sys.exit(float('$elapsed') > $limit)" ||
      fail "$name: ended $elapsed s after the signal"
    python3 - "$work/end.txt" <<'PY' || fail "$name: the trace was not written to its end"
import json, re, sys
last, summary = open(sys.argv[1]).read().splitlines()
tick = json.loads(last)["tick"]
ticks = int(re.match(r"ticks=(\d+) battles=\d+ winners=\[[-0-9,]*\] seconds=", summary).group(1))
assert ticks == tick + 1 and tick > 0, (tick, summary)
PY
    echo "$name: status $rc, ended $elapsed s after the signal"
  done
done
echo "runner signals: ok"
