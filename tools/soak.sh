#!/usr/bin/env bash
# Whole battles between four computer drivers on every stage, back to back, through the runner.
# Usage: tools/soak.sh BIN_DIR [BATTLES_PER_STAGE] [--render] [--ticks N]
# Each stage is a run of its own, long enough for BATTLES_PER_STAGE battles (default 100), or
# N ticks where --ticks asks for more (`tools/soak.sh build/bin 1 --ticks 10000000` plays ten
# million ticks a stage, about 20 minutes on a 2-core machine; not run by CI).
# Fails when the program does not end normally (a sanitizer report ends it with an error
# status), when memory grows from battle to battle (not checked with SOAK_MEMORY_CHECK=0: a
# sanitizer's quarantine of freed memory grows by itself), or when a stage's battles do not end:
# fewer battles with a winner than asked for, or any battle, ended or still open, longer than
# 100,000 ticks. Prints per stage how many battles ended, the longest of them and how long the
# last one, cut short by the budget, had been open.
set -euo pipefail
bin="$1"
shift
per_stage=100
render=""
min_ticks=0
while (($#)); do
  case "$1" in
    --render) render="--render" ;;
    --ticks) min_ticks="${2:?--ticks needs a count}"; shift ;;
    *) per_stage="$1" ;;
  esac
  shift
done
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

for stage in 0 1 2 3 4; do
  # Player 0 switches to the stage row (Down), moves from stage 1 to this stage, leaves (Ctrl),
  # then Enter is held down for good, so battle follows battle. (The selection screen's set-up
  # clears what was pressed during start-up, so the first key comes at tick 1.)
  {
    echo "1 down 40"
    echo "2 up 40"
    tick=3
    if [ "$stage" -eq 0 ]; then
      echo "$tick down 37"; echo "$((tick + 1)) up 37"; tick=$((tick + 2))
    fi
    for ((i = 1; i < stage; i++)); do
      echo "$tick down 39"; echo "$((tick + 1)) up 39"; tick=$((tick + 2))
    done
    echo "$tick down 17 2"
    echo "$((tick + 1)) up 17 0"
    echo "$((tick + 2)) down 13"
    # Stages 0 and 1 share their rules, so the same script would replay the same battles: on
    # stage 0 a first battle left with Escape after 300 ticks moves the random numbers on.
    if [ "$stage" -eq 0 ]; then echo "$((tick + 303)) down 27"; echo "$((tick + 304)) up 27"; fi
  } > "$work/stage$stage.txt"
  # Battles between computers last about 3400 ticks on average, 5800 on the ring (stage index 2),
  # some over 30,000; a battle that never ends uses up the budget and leaves the stage short of
  # battles.
  budget=$((per_stage * 12000 + 40000))
  ((budget >= min_ticks)) || budget=$min_ticks
  "$bin/burrowfield-sim" --script "$work/stage$stage.txt" --ticks "$budget" $render \
    --memory-log "$work/memory$stage.txt" > "$work/out$stage.txt" 2> "$work/err$stage.txt" ||
    { echo "FAIL: stage $stage run ended with an error" >&2; tail -20 "$work/err$stage.txt" >&2; exit 1; }
  summary="$(tail -1 "$work/out$stage.txt")"
  python3 - "$summary" "$per_stage" "$stage" "$work/memory$stage.txt" "${SOAK_MEMORY_CHECK:-1}" \
    <<'PY'
import re, sys
summary, per_stage, stage, memory = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4]
check_memory = sys.argv[5] == "1"
LONGEST_TICKS = 100000
winners = [int(w) for w in re.search(r"winners=\[([^\]]*)\]", summary).group(1).split(",") if w]
rows = [dict(kv.split("=") for kv in line.split()) for line in open(memory)]
ticks = [int(r["ticks"]) for r in rows]
# A battle's length here runs from the previous battle's end: the one selection tick between
# two battles (Enter is held) is counted with it.
lengths = [b - a for a, b in zip([0] + ticks, ticks)]
if stage == "0":  # the warm-up battle left with Escape
    winners, rows, ticks, lengths = winners[1:], rows[1:], ticks[1:], lengths[1:]
ended = [w for w in winners if w >= 0]
total_ticks = int(re.search(r"ticks=(\d+)", summary).group(1))
open_for = total_ticks - (ticks[-1] if ticks else 0)
seconds = float(re.search(r"seconds=([0-9.]+)", summary).group(1))
print(f"stage {stage}: {total_ticks} ticks in {seconds:.0f} s, {len(ended)} battles ended, "
      f"winners {winners[:12]}..., "
      f"longest {max(lengths) if lengths else 0} ticks; the last, cut short, open for {open_for}")
# Every battle but a last one cut short by the budget has a winner.
if not all(w >= 0 for w in winners[:-1]):
    sys.exit(f"FAIL: stage {stage}: a battle ended without a winner: {summary}")
# No battle may take more than half an hour of play, the one cut short by the budget included:
# a room whose people are out must not wait for ever on the computer tanks.
too_long = [(i + 1, n) for i, n in enumerate(lengths) if n > LONGEST_TICKS]
if too_long:
    sys.exit(f"FAIL: stage {stage}: battles longer than {LONGEST_TICKS} ticks (battle, ticks): "
             f"{too_long}")
if open_for > LONGEST_TICKS:
    sys.exit(f"FAIL: stage {stage}: battle {len(ended) + 1} was still open after {open_for} ticks")
if len(ended) < per_stage:
    sys.exit(f"FAIL: stage {stage}: only {len(ended)} of {per_stage} battles ended; "
             f"battle {len(ended) + 1} was still open after {open_for} ticks")
if len(rows) > 10:
    tenth, last = int(rows[9]["rss_kb"]), int(rows[-1]["rss_kb"])
    print(f"  resident after battle 10: {tenth} KiB, after battle {len(rows)}: {last} KiB")
    assert not check_memory or last - tenth < 1024, f"memory grew by {last - tenth} KiB"
PY
done
echo "soak: ok"
