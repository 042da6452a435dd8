#!/usr/bin/env bash
# Battles of four computer drivers, one after another, on every stage: each must end with a
# winner. Player 0 leaves on the selection screen after picking the stage, then Enter is held
# down, so that every battle's end starts the next one.
#
#   soak.sh BIN_DIR [BATTLES_PER_STAGE (1)] [STAGES ("0 1 2 3 4")] [LIMIT_TICKS (30000)]
#
# A battle still open after LIMIT_TICKS is reported with its state and left with Escape (the
# run is replayed with the Escape added: the same script gives the same battles). It fails the
# test unless the tanks are still fighting while life items make up for their hits;
# SOAK_STRICT=1 fails on that too. Prints one line per battle and the distribution of battle
# lengths and winning tank types.
set -uo pipefail
bin="$1"
per_stage="${2:-1}"
stages="${3:-0 1 2 3 4}"
limit="${4:-30000}"
sim="$bin/burrowfield-sim"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

python3 - "$sim" "$work" "$per_stage" "$limit" $stages <<'PY'
import json, os, re, statistics, subprocess, sys

sim, work, per_stage, limit = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
strict = os.environ.get("SOAK_STRICT") == "1"
stages = [int(s) for s in sys.argv[5:]]
START_STAGE = 1

# Stages 0 and 1 have the same rules (no walls, no movers), so the same script would replay the
# same battles on both; a first battle left with Escape after this many ticks moves the random
# numbers on, and the battles of stage 0 are others.
WARM_UP = {0: 300}
WINDOW = 2000

def selection_script(stage, escapes):
    """Stage row, right until the stage, leave with Ctrl, then hold Enter for good."""
    lines = ["1 down 40", "2 up 40"]
    t = 3
    for _ in range((stage - START_STAGE) % 5):
        lines += [f"{t} down 39", f"{t + 1} up 39"]
        t += 2
    lines += [f"{t} down 17 2", f"{t + 1} up 17 0", f"{t + 3} down 13"]
    if stage in WARM_UP:  # the first battle starts at t + 4
        lines += [f"{t + 4 + WARM_UP[stage]} down 27", f"{t + 5 + WARM_UP[stage]} up 27"]
    for e in escapes:
        lines += [f"{e} down 27", f"{e + 1} up 27"]
    return "\n".join(lines) + "\n"

def snapshot(line):
    keys = ["playerCharacter", "playerLife", "tankX", "tankZ", "tankHeading", "tankSpeed",
            "shells", "aiTurn", "aiDrive", "aiSearch", "itemX", "itemZ"]
    return {k: line[k] for k in keys}

def diagnose(line, unhurt_for, still_for, hits, heals):
    """Why a battle is still open: tanks that still hit each other while life items make up for
    it are still fighting. Anything else is unexplained."""
    living = [p for p in range(4) if line["playerLife"][p] > 0]
    facts = (f"tanks {living}, no life lost for {unhurt_for} ticks, last moved {still_for} ticks "
             f"ago; in the last {WINDOW} ticks {hits} hits, {heals} life items")
    if hits > 0 and heals > 0:
        return ("still fighting", facts)
    return ("unexplained", facts)

def watch(stage, escapes):
    """Runs with the trace streamed; returns (battles, escape tick needed or None, last tick)."""
    path = os.path.join(work, "script.txt")
    with open(path, "w") as f:
        f.write(selection_script(stage, escapes))
    ticks = 40 + per_stage * (limit + 1000)
    proc = subprocess.Popen([sim, "--script", path, "--trace", "/dev/stdout", "--ticks", str(ticks)],
                            stdout=subprocess.PIPE, text=True, bufsize=1 << 20)
    battles, current, prev_screen, selection_ticks = [], None, None, 0
    escape_at = None
    warm_up_left = stage in WARM_UP
    try:
        for raw in proc.stdout:
            if not raw.startswith("{"):
                continue
            battle = raw.startswith('{"tick":', 0) and '"screen":"battle"' in raw[:60]
            if not battle:
                if current is not None:  # the battle has ended: its last line decides
                    if warm_up_left:
                        assert current["ticks"] == WARM_UP[stage], ("warm-up", current["ticks"])
                        warm_up_left = False
                    else:
                        battles.append(current)
                    current = None
                    if len(battles) == per_stage:
                        break
                selection_ticks += 1
                prev_screen = "selection"
                continue
            tick = int(raw[8:raw.index(",")])
            if current is None:
                line = json.loads(raw)
                assert line["stageIndex"] == stage, ("stage", line["stageIndex"], stage)
                current = {"stage": stage, "start": tick, "types": line["playerCharacter"],
                           "computer": line["computerDriven"], "selection_before": selection_ticks,
                           "escaped": False}
                selection_ticks = 0
            current["ticks"] = tick - current["start"] + 1
            current["last"] = raw
            if current["ticks"] > limit - WINDOW:  # watch who still moves near the limit
                line = json.loads(raw)
                place = (line["tankX"], line["tankZ"])
                if place != current.get("place"):
                    current["place"], current["moved"] = place, tick
                lives = line["playerLife"]
                if "lives" in current:
                    diffs = [a - b for a, b in zip(lives, current["lives"])]
                    current["hits"] = current.get("hits", 0) + sum(d < 0 for d in diffs)
                    current["heals"] = current.get("heals", 0) + sum(d > 0 for d in diffs)
                if lives != current.get("lives"):
                    current["lives"], current["hurt"] = lives, tick
            if current["ticks"] == limit:
                line = json.loads(raw)
                current["state"] = snapshot(line)
                current["why"] = diagnose(line, tick - current["hurt"], tick - current["moved"],
                                          current.get("hits", 0), current.get("heals", 0))
                if current["start"] + limit not in escapes:
                    escape_at = current["start"] + limit
                    break
                current["escaped"] = True
        else:
            if current is not None:
                battles.append(current)
    finally:
        proc.kill()
        proc.wait()
    for b in battles:
        last = json.loads(b.pop("last"))
        b["winner"] = last["winner"]
        b["lives"] = last["playerLife"]
        b["winnerType"] = last["playerCharacter"][b["winner"]] if b["winner"] >= 0 else None
    return battles, escape_at

def summary(stage, escapes, end_tick):
    path = os.path.join(work, "script.txt")
    with open(path, "w") as f:
        f.write(selection_script(stage, escapes))
    out = subprocess.run([sim, "--script", path, "--ticks", str(end_tick)], capture_output=True,
                         text=True)
    assert out.returncode == 0, out.stderr
    return out.stdout.strip().splitlines()[-1]

failures = []
all_battles = []
for stage in stages:
    escapes = []
    while True:
        battles, escape_at = watch(stage, escapes)
        if escape_at is None:
            break
        escapes.append(escape_at)
    if len(battles) < per_stage:
        failures.append(f"stage {stage}: only {len(battles)} battles were traced")
    # The first selection tick after the last battle: closing there counts exactly these.
    end_tick = battles[-1]["start"] + battles[-1]["ticks"] if battles else 0
    line = summary(stage, escapes, end_tick)
    m = re.match(r"ticks=(\d+) battles=(\d+) winners=\[([-0-9,]*)\] seconds=([0-9.]+)$", line)
    if not m:
        failures.append(f"stage {stage}: bad summary line {line!r}")
        continue
    winners = [int(w) for w in m.group(3).split(",") if w]
    if stage in WARM_UP:
        winners = winners[1:]
    if len(winners) != len(battles) or winners != [b["winner"] for b in battles]:
        failures.append(f"stage {stage}: summary {line!r} disagrees with the trace "
                        f"{[b['winner'] for b in battles]}")
    print(f"stage {stage}: {line}")
    for i, b in enumerate(battles):
        if i > 0 and b["selection_before"] != 1:
            failures.append(f"stage {stage} battle {i}: {b['selection_before']} selection ticks "
                            "before it, expected 1 (Enter held)")
        if b["computer"] != [1, 1, 1, 1]:
            failures.append(f"stage {stage} battle {i}: computerDriven {b['computer']}")
        print(f"  battle {i}: start {b['start']} ticks {b['ticks']} types {b['types']} "
              f"winner {b['winner']} (type {b['winnerType']}) lives {b['lives']}"
              + (" ESCAPED" if b["escaped"] else ""))
        if b["escaped"]:
            kind, why = b["why"]
            print(f"    open after {limit} ticks: {kind}: {why}")
            print(f"    state: {json.dumps(b['state'])}")
            if kind == "unexplained" or strict:
                failures.append(f"stage {stage} battle {i}: no winner within {limit} ticks ({kind})")
        elif b["winner"] < 0:
            failures.append(f"stage {stage} battle {i}: ended without a winner")
    all_battles += battles

ended = [b for b in all_battles if not b["escaped"] and b["winner"] >= 0]
if ended:
    lengths = sorted(b["ticks"] for b in ended)
    print(f"battles {len(all_battles)}, with a winner {len(ended)}")
    print(f"length (ticks): min {lengths[0]} median {statistics.median(lengths):.0f} "
          f"mean {statistics.mean(lengths):.0f} max {lengths[-1]}")
    edges = [0, 1000, 2000, 3000, 5000, 8000, 12000, 20000, 30000]
    hist = []
    for lo, hi in zip(edges, edges[1:]):
        hist.append(f"{lo}-{hi - 1}: {sum(lo <= n < hi for n in lengths)}")
    print("length histogram: " + ", ".join(hist))
    types = {}
    for b in ended:
        types[b["winnerType"]] = types.get(b["winnerType"], 0) + 1
    print("winning types: " + ", ".join(f"{t}: {n}" for t, n in sorted(types.items())))
    fielded = {}
    for b in all_battles:
        for t in b["types"]:
            fielded[t] = fielded.get(t, 0) + 1
    print("fielded types: " + ", ".join(f"{t}: {n}" for t, n in sorted(fielded.items())))
for f in failures:
    print("FAIL: " + f, file=sys.stderr)
sys.exit(1 if failures else 0)
PY
status=$?
[ $status -eq 0 ] && echo "soak: ok"
exit $status
