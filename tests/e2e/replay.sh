#!/usr/bin/env bash
# Replay files through the runner: a fuzzed evening of four pads recorded and played again, trace
# for trace; the instant replay (R) on the selection screen, after which the screen is as it was;
# the size of a battle's file a minute; and files that must be refused: truncated, garbled,
# hostile, from other assets, each with one line naming the file and the line (or both versions),
# by the runner and by the game before any window opens.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.bash"
checks="$here/replay_checks.py"

# A fuzzed evening, recorded, then played from the record: the same trace, summary and ends.
python3 "$checks" evening 28 40000 >"$work/evening.txt" || fail "no evening"
"$sim" --script "$work/evening.txt" --ticks 40000 --trace "$work/first.jsonl" \
  --record "$work/evening.bfreplay" >"$work/first.out" || fail "the evening did not run"
"$sim" --script "$work/evening.bfreplay" --ticks 40000 --trace "$work/again.jsonl" \
  --record "$work/again.bfreplay" >"$work/again.out" 2>"$work/again.err" ||
  fail "the record did not play: $(cat "$work/again.err")"
cmp -s "$work/first.jsonl" "$work/again.jsonl" || fail "the record played another evening"
[ "$(sed 's/ seconds=.*//' "$work/first.out")" = "$(sed 's/ seconds=.*//' "$work/again.out")" ] ||
  fail "summaries differ: $(cat "$work/first.out" "$work/again.out")"
cmp -s <(grep ' end ' "$work/evening.bfreplay") <(grep ' end ' "$work/again.bfreplay") ||
  fail "battle ends differ"
grep -q ' end ' "$work/evening.bfreplay" || fail "the evening had no battle"
python3 "$checks" sizes 8 "$work/evening.bfreplay" || fail "a battle's file is too large"

# R after a battle: the battle again, then the selection screen exactly as before.
printf '1 down 13\n2 up 13\n6000 down 82\n6001 up 82\n' >"$work/instant.txt"
"$sim" --script "$work/instant.txt" --ticks 14000 --trace "$work/instant.jsonl" \
  --record "$work/instant.bfreplay" >/dev/null || fail "the instant replay did not run"
python3 "$checks" selection "$work/instant.jsonl" 6000 || fail "R changed the selection screen"
grep -q '^# instant replay of battle 1 ended at tick 5677 state ' "$work/instant.bfreplay" ||
  fail "the instant replay did not end as its battle did"

# refused NAME WANT: the runner and the game refuse $work/NAME, saying WANT (a pattern).
refused() {
  local status
  "$sim" --script "$work/$1" --ticks 100 >/dev/null 2>"$work/$1.err"
  status=$?
  [ "$status" -eq 2 ] || fail "$1: the runner ended with status $status, not 2"
  grep -Eq "$2" "$work/$1.err" || fail "$1: the runner said: $(cat "$work/$1.err")"
  DISPLAY= timeout 20 "$bin/burrowfield" --replay "$work/$1" >/dev/null 2>"$work/$1.game.err"
  status=$?
  [ "$status" -eq 2 ] || fail "$1: the game ended with status $status, not 2"
  grep -Eq "$2" "$work/$1.game.err" || fail "$1: the game said: $(cat "$work/$1.game.err")"
}
good="$work/instant.bfreplay"
head -c $(($(wc -c <"$good") - 30)) "$good" >"$work/truncated"
refused truncated "line $(($(wc -l <"$work/truncated") + 1)): the file ends here"
head -n -3 "$good" >"$work/truncated-at-a-line"
refused truncated-at-a-line "line $(wc -l <"$work/truncated-at-a-line"): the file ends here"
{ head -6 "$good"; printf '17 d\xffwn 13\n'; } >"$work/garbled"
refused garbled "line 7: unknown event 'd\\\\xffwn'"
{ head -6 "$good"; echo "99999999999999999999 down 13"; } >"$work/huge-tick"
refused huge-tick "line 7: bad tick"
{ head -6 "$good"; echo "5 end 1 not-a-hash"; } >"$work/bad-hash"
refused bad-hash "line 7: bad state hash"
sed '1s/replay 1/replay 99/' "$good" >"$work/future-format"
refused future-format "line 1: replay format 99 is not known"
sed '3s/assets .*/assets zz/' "$good" >"$work/bad-assets"
refused bad-assets "line 3: bad assets hash"
sed -e '2s/game .*/game 0.9/' -e '3s/assets ./assets 0/' "$good" >"$work/other-assets"
refused other-assets "recorded with Burrowfield 0.9 .*this is Burrowfield [0-9.]+ "
# Another version with the same assets plays.
sed '2s/game .*/game 0.9/' "$good" >"$work/other-version"
"$sim" --script "$work/other-version" >/dev/null ||
  fail "a file of another version with the same assets was refused"
echo "replay: ok"
