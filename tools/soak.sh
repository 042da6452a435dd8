#!/usr/bin/env bash
# Whole battles between four computer drivers on every stage, back to back, through the runner.
# Usage: tools/soak.sh BIN_DIR [BATTLES_PER_STAGE] [--render]
# Fails when the program does not end normally (a sanitizer report ends it with an error
# status), when memory grows from battle to battle (not checked with SOAK_MEMORY_CHECK=0: a
# sanitizer's quarantine of freed memory grows by itself), or when a stage completes fewer battles than
# asked for. The one exception is a stalemate: computer tanks can drive into a wall corner for
# ever towards an item they see through it, so a battle that is still open after 30,000 ticks
# is reported as such and ends that stage's run.
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
  # Battles between computers last about 3200 ticks on average; leave room for a stalemate.
  budget=$((per_stage * 4500 + 30000))
  "$bin/burrowfield-sim" --script "$work/stage$stage.txt" --ticks "$budget" $render \
    --memory-log "$work/memory$stage.txt" > "$work/out$stage.txt" 2> "$work/err$stage.txt" ||
    { echo "FAIL: stage $stage run ended with an error" >&2; tail -20 "$work/err$stage.txt" >&2; exit 1; }
  summary="$(tail -1 "$work/out$stage.txt")"
  python3 - "$summary" "$per_stage" "$stage" "$work/memory$stage.txt" "${SOAK_MEMORY_CHECK:-1}" \
    <<'PY'
import re, sys
summary, per_stage, stage, memory = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4]
check_memory = sys.argv[5] == "1"
winners = [int(w) for w in re.search(r"winners=\[([^\]]*)\]", summary).group(1).split(",") if w]
rows = [dict(kv.split("=") for kv in line.split()) for line in open(memory)]
if stage == "0":  # the warm-up battle left with Escape
    winners, rows = winners[1:], rows[1:]
ended = [w for w in winners if w >= 0]
ticks = [int(r["ticks"]) for r in rows]
lengths = [b - a for a, b in zip([0] + ticks, ticks)]
print(f"stage {stage}: {len(ended)} battles ended, winners {winners[:12]}..., "
      f"longest {max(lengths) if lengths else 0} ticks")
total_ticks = int(re.search(r"ticks=(\d+)", summary).group(1))
# Every battle but a last one cut short by the budget has a winner.
assert all(w >= 0 for w in winners[:-1]), summary
if len(ended) < per_stage:
    open_for = total_ticks - (ticks[-1] if ticks else 0)
    assert open_for > 30000, f"only {len(ended)} battles ended, the last open for {open_for} ticks"
    print(f"  stalemate: battle {len(winners)} was still open after {open_for} ticks")
if len(rows) > 10:
    tenth, last = int(rows[9]["rss_kb"]), int(rows[-1]["rss_kb"])
    print(f"  resident after battle 10: {tenth} KiB, after battle {len(rows)}: {last} KiB")
    assert not check_memory or last - tenth < 1024, f"memory grew by {last - tenth} KiB"
PY
done
echo "soak: ok"
