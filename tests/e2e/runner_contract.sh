#!/usr/bin/env bash
# The runner's command line, script and trace contract, seen from outside.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.bash"

# A bad script line is rejected naming the line, with status 2.
printf '# comment\n0 down 13\n5 wobble 3\n' > "$work/bad.txt"
"$sim" --script "$work/bad.txt" 2> "$work/err.txt" >/dev/null
[ $? -eq 2 ] || fail "bad script line did not give status 2"
grep -q "line 3" "$work/err.txt" || fail "bad script message does not name line 3: $(cat "$work/err.txt")"
# So is a directory given as the script; a script read through a pipe is fine.
mkdir "$work/scripts"
"$sim" --script "$work/scripts" 2> "$work/err.txt" >/dev/null
[ $? -eq 2 ] || fail "a directory as the script did not give status 2"
grep -q "scripts: is a directory" "$work/err.txt" || fail "directory script: $(cat "$work/err.txt")"
"$sim" --ticks 5 --script <(printf '\xef\xbb\xbf2 down 13\n') > /dev/null ||
  fail "a script from a pipe, with a byte-order mark, was refused"

# Unwritable trace or shot paths are errors with status 2.
"$sim" --ticks 5 --trace /nonexistent/dir/trace.jsonl >/dev/null 2>&1
[ $? -eq 2 ] || fail "unwritable trace path did not give status 2"
"$sim" --ticks 5 --shot 1 --shots-dir /nonexistent/dir >/dev/null 2>&1
[ $? -eq 2 ] || fail "unwritable shots dir did not give status 2"
"$sim" --ticks x >/dev/null 2>&1
[ $? -eq 2 ] || fail "bad --ticks did not give status 2"
"$sim" --ticks 9007199254740993 >/dev/null 2>&1
[ $? -eq 2 ] || fail "--ticks past 2^53 did not give status 2"

# A write that fails later (a full disk: /dev/full) is status 2 and one line, however often it
# fails; the memory log needs a battle to end (Enter held starts computer battles), the summary
# goes to standard output.
printf '1 down 40\n2 up 40\n3 down 17 2\n4 up 17 0\n5 down 13\n' >"$work/battles.txt"
write_fails() { # NAME MESSAGE ARGS...: the run fails with exactly MESSAGE on standard error
  local name="$1" message="$2"
  shift 2
  "$sim" "$@" 2>"$work/err.txt"
  local rc=$?
  [ "$rc" -eq 2 ] || fail "$name: status $rc, want 2"
  [ "$(cat "$work/err.txt")" = "burrowfield-sim: $message" ] ||
    fail "$name: said '$(cat "$work/err.txt")'"
}
write_fails "trace on a full disk" "cannot write the trace file /dev/full: No space left on device" \
  --ticks 50 --trace /dev/full >/dev/null
write_fails "memory log on a full disk" \
  "cannot write the memory log /dev/full: No space left on device" \
  --script "$work/battles.txt" --ticks 3000 --memory-log /dev/full >/dev/null
write_fails "summary on a full disk" \
  "cannot write the summary to standard output: No space left on device" --ticks 5 >/dev/full

# An output that is the script itself, under any name, is refused before the script is touched.
printf '0 down 13\n' >"$work/own.txt"
ln -s own.txt "$work/own-link.txt"
for output in "--trace $work/own-link.txt" "--memory-log $work/own.txt" \
  "--shots-dir $work/own.txt"; do
  # shellcheck disable=SC2086 # the option and its value are two words
  write_fails "$output" "$output is the script itself, which it would overwrite" \
    --ticks 5 --script "$work/own.txt" --shot 1 --shots-dir "$work" $output >/dev/null
  [ "$(cat "$work/own.txt")" = "0 down 13" ] || fail "$output: the script was changed"
done

# A screenshot the run never reaches is an output lost too.
mkdir "$work/shots"
write_fails "screenshot past the end" "no screenshots of ticks 9,7: the run ended after 5 ticks" \
  --ticks 5 --shot 2,9,7 --shots-dir "$work/shots" >/dev/null
[ -f "$work/shots/tick-2.png" ] || fail "screenshot past the end: tick 2 was not written"

# --ticks N closes the window at tick N: ticks 0..N-1 are traced, the summary says N.
"$sim" --ticks 25 --trace "$work/t.jsonl" > "$work/out.txt" || fail "plain run failed"
[ "$(wc -l < "$work/t.jsonl")" -eq 25 ] || fail "expected 25 trace lines"
grep -Eq '^ticks=25 battles=0 winners=\[\] seconds=[0-9.]+$' "$work/out.txt" ||
  fail "bad summary: $(cat "$work/out.txt")"

# Escape on the selection screen ends the program with status 0 in the pump before tick 7.
printf '7 down 27\n' > "$work/esc.txt"
"$sim" --script "$work/esc.txt" --trace "$work/esc.jsonl" > "$work/out.txt" || fail "Escape run failed"
grep -q '^ticks=7 ' "$work/out.txt" || fail "Escape did not end at tick 7: $(cat "$work/out.txt")"

# A close at tick T ends the run in the pump that delivers tick T: T is not processed, also
# during a battle; events are delivered before the tick they name.
printf '0 down 13\n1 up 13\n12 close\n' > "$work/close.txt"
"$sim" --script "$work/close.txt" --trace "$work/close.jsonl" > "$work/out.txt" || fail "close run failed"
python3 - "$work/close.jsonl" <<'PY' || fail "close trace check"
import sys
from lib.trace import load
lines = load(sys.argv[1])
assert [l["tick"] for l in lines] == list(range(12)), [l["tick"] for l in lines]
assert lines[0]["screen"] == "selection" and lines[0]["enterHeld"] == 1
assert all(l["screen"] == "battle" for l in lines[1:]), [l["screen"] for l in lines]
assert lines[1]["enterHeld"] == 0 and lines[1]["selectionActive"] == 0
PY
grep -q '^ticks=12 battles=1 winners=\[-1\]' "$work/out.txt" || fail "summary after close: $(cat "$work/out.txt")"
echo "runner contract: ok"
