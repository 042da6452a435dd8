#!/usr/bin/env bash
# Whole battles between four computer drivers on every stage, back to back, through the runner.
# Usage: tools/soak.sh BIN_DIR [BATTLES_PER_STAGE] [STAGES] [LIMIT_TICKS] [--render] [--ticks N]
#                      [--watch]
# Each stage of STAGES (default "0 1 2 3 4") is a run of its own: player 0 picks the stage and
# leaves, then Enter is held down, so that every battle's end starts the next one.
#
# The long soak runs long enough for BATTLES_PER_STAGE battles (default 100), or N ticks where
# --ticks asks for more (`tools/soak.sh build/bin 1 --ticks 10000000` plays ten million ticks a
# stage, about 20 minutes on a 2-core machine; not run by CI). It fails when the program does not
# end normally (a sanitizer report ends it with an error status), when memory grows from battle
# to battle (not checked with SOAK_MEMORY_CHECK=0: a sanitizer's quarantine of freed memory grows
# by itself), or when a stage's battles do not end: fewer battles with a winner than asked for,
# or any battle, ended or still open, longer than LIMIT_TICKS (default 100,000). Prints per
# stage how many battles ended, the longest of them and how long the last one, cut short by the
# budget, had been open.
#
# --watch (the CTest test e2e.soak) reads every tick of the trace instead, for BATTLES_PER_STAGE
# battles (default 1): a battle still open after LIMIT_TICKS (default 30,000) is reported with
# its state and left with Escape. It fails the run unless the tanks are still fighting while life
# items make up for their hits; SOAK_STRICT=1 fails on that too. Prints one line per battle and
# the distribution of battle lengths and winning tank types (tests/e2e/soak_checks.py).
watch=0
render=()
min_ticks=0
positional=()
while (($#)); do
  case "$1" in
    --watch) watch=1 ;;
    --render) render=(--render) ;;
    --ticks)
      min_ticks="${2:?--ticks needs a count}"
      shift
      ;;
    *) positional+=("$1") ;;
  esac
  shift
done
source "$(dirname "${BASH_SOURCE[0]}")/../tests/e2e/lib/common.bash" "${positional[0]:-}"
per_stage="${positional[1]:-$((watch ? 1 : 100))}"
stages="${positional[2]:-0 1 2 3 4}"
limit="${positional[3]:-$((watch ? 30000 : 100000))}"

if ((watch)); then
  python3 "$here/soak_checks.py" watch "$sim" "$work" "$per_stage" "$limit" "$stages" \
    "${render[@]}" || exit 1
  echo "soak: ok"
  exit 0
fi

for stage in $stages; do
  python3 "$here/soak_checks.py" script "$stage" > "$work/stage$stage.txt" ||
    fail "stage $stage: no script"
  # Battles between computers last about 3400 ticks on average, 5800 on the ring (stage index 2),
  # some over 30,000; a battle that never ends uses up the budget and leaves the stage short of
  # battles.
  budget=$((per_stage * 12000 + 40000))
  ((budget >= min_ticks)) || budget=$min_ticks
  if ! "$sim" --script "$work/stage$stage.txt" --ticks "$budget" "${render[@]}" \
    --memory-log "$work/memory$stage.txt" > "$work/out$stage.txt" 2> "$work/err$stage.txt"; then
    echo "FAIL: stage $stage run ended with an error" >&2
    tail -20 "$work/err$stage.txt" >&2
    exit 1
  fi
  python3 "$here/soak_checks.py" stage "$(tail -1 "$work/out$stage.txt")" "$stage" \
    "$per_stage" "$limit" "$work/memory$stage.txt" "${SOAK_MEMORY_CHECK:-1}" || exit 1
done
echo "soak: ok"
