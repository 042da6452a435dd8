#!/usr/bin/env bash
# SIGINT and SIGTERM end the runner in order, with and without rendering: the
# trace is written up to the last processed tick, the summary follows, and the status is the
# one the signal gives (130 and 143 in a shell). The runner plays computer battles one after
# another until the signal comes. The signals end it as well while it waits on a FIFO whose
# other end never comes: the writer of its script, the reader of its trace, memory log or
# screenshot.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.bash"
pid=""
# A runner that a failed check leaves waiting on a FIFO would wait for ever.
trap '[ -n "$pid" ] && kill -9 "$pid" 2>/dev/null; rm -rf "$work"' EXIT

# Player 0 leaves on the selection screen, then Enter is held: battle follows battle. The signal
# comes once the trace shows tick 10, so the run is well under way however busy the machine is;
# how long the runner then takes to end is printed, and only a hang fails.
printf '1 down 40\n2 up 40\n3 down 17 2\n4 up 17 0\n5 down 13\n' >"$work/battles.txt"
mkfifo "$work/trace-pipe"
for render in "" --render; do
  for signal in INT TERM; do
    name="SIG$signal${render:+ with $render}"
    # The trace goes through a pipe, so that a fast run fills no disk; only its end is kept.
    "$sim" --script "$work/battles.txt" $render --ticks 1000000000 --trace /dev/stdout \
      >"$work/trace-pipe" 2>"$work/err.txt" &
    pid=$!
    timeout 120 python3 "$here/runner_signals_checks.py" signal "$work/trace-pipe" "$pid" \
      "$signal" >"$work/end.txt" || fail "$name: the runner did not end"
    wait "$pid"
    rc=$?
    pid=""
    want=$((128 + $(kill -l "$signal")))
    [ "$rc" -eq "$want" ] || fail "$name: status $rc, want $want: $(cat "$work/err.txt")"
    python3 "$here/runner_signals_checks.py" end "$work/end.txt" ||
      fail "$name: the trace was not written to its end"
    echo "$name: status $rc, $(tail -n 1 "$work/end.txt") s after the signal"
  done
done
# holds_open PID FILE: whether the process has FILE open.
holds_open() {
  local fd
  for fd in /proc/"$1"/fd/*; do [ "$(readlink "$fd" 2>/dev/null)" = "$2" ] && return 0; done
  return 1
}
# wait_until WHAT COMMAND...: runs COMMAND until it succeeds; a deadline only guards a hang.
wait_until() {
  local what="$1" deadline=$((SECONDS + 20))
  shift
  until "$@"; do
    ((SECONDS < deadline)) || fail "$what"
    sleep 0.05
  done
}
# The runner is in the background as $pid; each case waits until the runner can only be waiting
# on the FIFO (or about to), signals it and wants the signal's status, with what it wrote kept.
signal_and_check() { # NAME SIGNAL
  kill -s "$2" "$pid"
  wait_until "$1: still running after the signal" eval '! kill -0 "$pid" 2>/dev/null'
  wait "$pid"
  local rc=$? want=$((128 + $(kill -l "$2")))
  [ "$rc" -eq "$want" ] || fail "$1: status $rc, want $want: $(cat "$work/err.txt")"
  [ -s "$work/err.txt" ] && fail "$1: said something: $(cat "$work/err.txt")"
  echo "$1: status $rc"
}
fifo="$work/fifo"
for signal in INT TERM; do
  rm -rf "$fifo" && mkdir -p "$fifo/shots"
  mkfifo "$fifo/script" "$fifo/trace" "$fifo/memory" "$fifo/shots/tick-2.png" \
    "$fifo/shots/tick-3.png"

  # The script's writer never comes; the runner holds the FIFO open, waiting.
  "$sim" --script "$fifo/script" >"$work/out.txt" 2>"$work/err.txt" &
  pid=$!
  wait_until "script: the runner never opened its script" holds_open "$pid" "$fifo/script"
  signal_and_check "SIG$signal waiting for the script's writer" "$signal"

  # The script comes through its FIFO; the runner has read it all once it lets go of it, and then
  # waits for the trace's reader.
  "$sim" --script "$fifo/script" --trace "$fifo/trace" >"$work/out.txt" 2>"$work/err.txt" &
  pid=$!
  timeout 20 sh -c 'printf "0 down 13\n" >"$1"' - "$fifo/script" ||
    fail "trace: the script was not read"
  wait_until "trace: the script is never let go" eval '! holds_open "$pid" "$fifo/script"'
  signal_and_check "SIG$signal waiting for the trace's reader" "$signal"

  # The memory log is opened after the trace, which is kept.
  "$sim" --trace "$fifo/trace.jsonl" --memory-log "$fifo/memory" >"$work/out.txt" \
    2>"$work/err.txt" &
  pid=$!
  wait_until "memory log: no trace file" test -e "$fifo/trace.jsonl"
  signal_and_check "SIG$signal waiting for the memory log's reader" "$signal"

  # The screenshot of tick 2 is read, that of tick 3 never: the run ends in order, the trace
  # written to its last tick, the summary after it, the screenshot read kept.
  "$sim" --shot 2,3 --shots-dir "$fifo/shots" --trace "$fifo/trace.jsonl" >"$work/out.txt" \
    2>"$work/err.txt" &
  pid=$!
  timeout 20 cat "$fifo/shots/tick-2.png" >"$fifo/tick-2.png" ||
    fail "screenshot: tick 2 was not written"
  signal_and_check "SIG$signal waiting for the screenshot's reader" "$signal"
  [ "$(head -c 4 "$fifo/tick-2.png" | tail -c 3)" = PNG ] || fail "screenshot: tick 2 is no PNG"
  lines=$(wc -l <"$fifo/trace.jsonl")
  grep -q "^ticks=$lines " "$work/out.txt" ||
    fail "screenshot: the trace has $lines lines, the summary says $(cat "$work/out.txt")"
done
echo "runner signals: ok"
