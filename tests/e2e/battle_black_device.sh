#!/usr/bin/env bash
# Every battle starts on a black 3D device, as a freshly made one would be: at the first tick of
# the first and of the second battle, the lines between the four views and the device's edges no
# view covers are black. The first battle ends with a winner, whose view grows over the whole
# device, so a device kept from it would show that picture between the second battle's views.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.bash"

# Player 0 moves to the stage row and leaves; Enter is then held for good, so the second battle
# follows the first at once. Four computer tanks fight both.
cat > "$work/script.txt" <<'SCRIPT'
1 down 40
2 up 40
3 down 17 2
4 up 17 0
6 down 13
SCRIPT

# Where the battles begin and end, from a run without pictures (the same script, the same game).
"$sim" --script "$work/script.txt" --ticks 6000 --trace "$work/trace.jsonl" > /dev/null ||
  fail "the run for the trace failed"
python3 "$here/battle_black_device_checks.py" battles "$work/trace.jsonl" > "$work/battles" ||
  fail "no two battles"
read -r first1 last1 first2 < "$work/battles"
echo "battle 1 from tick $first1 to $last1 (won), battle 2 from tick $first2"

"$sim" --script "$work/script.txt" --ticks $((first2 + 1)) --shot "$first1,$last1,$first2" \
  --shots-dir "$work" > /dev/null || fail "the run with screenshots failed"

python3 "$here/battle_black_device_checks.py" lit "$work" "$first1" "$last1" "$first2" || exit 1
echo "battle black device: ok"
