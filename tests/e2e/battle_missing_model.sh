#!/usr/bin/env bash
# A battle whose models cannot be read says so once and the program ends in order with status
# 1, without a single battle tick. Needs the OpenGL scene: the null scene reads no file.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.bash"

mkdir -p "$work/assets"
printf '2 down 13\n3 up 13\n' > "$work/script.txt"
"$sim" --script "$work/script.txt" --trace "$work/trace.jsonl" --ticks 30 \
  --render --assets "$work/assets" > "$work/out.txt" 2> "$work/err.txt"
status=$?
[ $status -eq 1 ] || fail "expected status 1, got $status: $(cat "$work/err.txt")"
[ "$(grep -c '^Burrowfield: ' "$work/err.txt")" -eq 1 ] ||
  fail "expected one message: $(cat "$work/err.txt")"
grep -q "model/" "$work/err.txt" || fail "the message does not name the model: $(cat "$work/err.txt")"
python3 - "$work/trace.jsonl" <<'PY' || fail "trace check"
import sys
from lib.trace import load
lines = load(sys.argv[1])
assert [l["tick"] for l in lines] == [0, 1, 2], [l["tick"] for l in lines]
assert all(l["screen"] == "selection" for l in lines)
PY
echo "missing model: ok"
