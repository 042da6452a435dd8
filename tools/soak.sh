#!/usr/bin/env bash
# Whole battles between four computer drivers on every stage, back to back, through the runner.
# Usage: tools/soak.sh BIN_DIR [BATTLES_PER_STAGE] [--render]
# Fails when the program does not end normally (a sanitizer report ends it with an error
# status), when memory grows from battle to battle (not checked with SOAK_MEMORY_CHECK=0: a
# sanitizer's quarantine of freed memory grows by itself), or when a stage's battles do not end:
# fewer battles with a winner than asked for within the stage's budget of ticks, or a battle
# still open after 200,000 ticks. Prints per stage how many battles ended, the longest of them
# and how long the last one, cut short by the budget, had been open.
set -euo pipefail
bin="$1"
per_stage="${2:-100}"
render="${3:-}"
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
  "$bin/burrowfield-sim" --script "$work/stage$stage.txt" --ticks "$budget" $render \
    --memory-log "$work/memory$stage.txt" > "$work/out$stage.txt" 2> "$work/err$stage.txt" ||
    { echo "FAIL: stage $stage run ended with an error" >&2; tail -20 "$work/err$stage.txt" >&2; exit 1; }
  summary="$(tail -1 "$work/out$stage.txt")"
  python3 - "$summary" "$per_stage" "$stage" "$work/memory$stage.txt" "${SOAK_MEMORY_CHECK:-1}" \
    <<'PY'
import re, sys
summary, per_stage, stage, memory = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4]
check_memory = sys.argv[5] == "1"
STALEMATE_TICKS = 200000
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
print(f"stage {stage}: {len(ended)} battles ended, winners {winners[:12]}..., "
      f"longest {max(lengths) if lengths else 0} ticks; the last, cut short, open for {open_for}")
# Every battle but a last one cut short by the budget has a winner.
if not all(w >= 0 for w in winners[:-1]):
    sys.exit(f"FAIL: stage {stage}: a battle ended without a winner: {summary}")
# A battle that nobody wins within this long (over an hour of play) is taken as one that never
# ends, even where enough others have ended before it.
if open_for > STALEMATE_TICKS:
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
