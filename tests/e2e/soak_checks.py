"""The checks of tools/soak.sh, which says what they prove. Usage:
  script STAGE                  prints the stage's script
  stage SUMMARY_LINE STAGE BATTLES_PER_STAGE LIMIT_TICKS MEMORY_LOG CHECK_MEMORY   a long soak's
  watch SIM WORK_DIR BATTLES_PER_STAGE LIMIT_TICKS "STAGE ..." [RUNNER OPTION ...]
"""
import json
import os
import statistics
import subprocess
import sys

from lib.trace import KEY, MASK, PLAYERS, summary, write_script

# Stages 0 and 1 have the same rules (no walls, no movers), so the same script would replay the
# same battles on both; a first battle left with Escape after this many ticks moves the random
# numbers on, and the battles of stage 0 are others.
WARM_UP = {0: 300}
# How many ticks before the limit a battle's movements and lives are watched.
WINDOW = 2000


def stage_script(stage, escapes=()):
    """Player 0 switches to the stage row (Down), moves from stage 1 to this stage, leaves (Ctrl),
    then Enter is held down for good, so battle follows battle; Escape on each tick of `escapes`.
    (The selection screen's set-up clears what was pressed during start-up, so the first key
    comes at tick 1.)"""
    lines = [f"1 down {KEY.DOWN}", f"2 up {KEY.DOWN}"]
    t = 3
    for key in [KEY.LEFT] if stage == 0 else [KEY.RIGHT] * (stage - 1):
        lines += [f"{t} down {key}", f"{t + 1} up {key}"]
        t += 2
    lines += [f"{t} down {KEY.CONTROL} {MASK.CTRL}", f"{t + 1} up {KEY.CONTROL} 0",
              f"{t + 2} down {KEY.ENTER}"]
    # The first battle starts at t + 3.
    warm_up = [t + 3 + WARM_UP[stage]] if stage in WARM_UP else []
    for e in warm_up + list(escapes):
        lines += [f"{e} down {KEY.ESCAPE}", f"{e + 1} up {KEY.ESCAPE}"]
    return lines


def check_long_stage(line, stage, per_stage, longest, memory, check_memory):
    result = summary(line)
    if result is None:
        sys.exit(f"FAIL: stage {stage}: bad summary line {line!r}")
    winners = result["winners"]
    rows = [dict(kv.split("=") for kv in row.split()) for row in open(memory)]
    ticks = [int(r["ticks"]) for r in rows]
    # A battle's length here runs from the previous battle's end: the one selection tick between
    # two battles (Enter is held) is counted with it.
    lengths = [b - a for a, b in zip([0] + ticks, ticks)]
    if stage in WARM_UP:  # the warm-up battle left with Escape
        winners, rows, ticks, lengths = winners[1:], rows[1:], ticks[1:], lengths[1:]
    ended = [w for w in winners if w >= 0]
    open_for = result["ticks"] - (ticks[-1] if ticks else 0)
    print(f"stage {stage}: {result['ticks']} ticks in {result['seconds']:.0f} s, {len(ended)} "
          f"battles ended, winners {winners[:12]}..., longest {max(lengths) if lengths else 0} "
          f"ticks; the last, cut short, open for {open_for}")
    # Every battle but a last one cut short by the budget has a winner.
    if not all(w >= 0 for w in winners[:-1]):
        sys.exit(f"FAIL: stage {stage}: a battle ended without a winner: {line}")
    # No battle may take more than half an hour of play, the one cut short by the budget included:
    # a room whose people are out must not wait for ever on the computer tanks.
    too_long = [(i + 1, n) for i, n in enumerate(lengths) if n > longest]
    if too_long:
        sys.exit(f"FAIL: stage {stage}: battles longer than {longest} ticks (battle, ticks): "
                 f"{too_long}")
    if open_for > longest:
        sys.exit(f"FAIL: stage {stage}: battle {len(ended) + 1} was still open after {open_for} "
                 "ticks")
    if len(ended) < per_stage:
        sys.exit(f"FAIL: stage {stage}: only {len(ended)} of {per_stage} battles ended; "
                 f"battle {len(ended) + 1} was still open after {open_for} ticks")
    if len(rows) > 10:
        tenth, last = int(rows[9]["rss_kb"]), int(rows[-1]["rss_kb"])
        print(f"  resident after battle 10: {tenth} KiB, after battle {len(rows)}: {last} KiB")
        assert not check_memory or last - tenth < 1024, f"memory grew by {last - tenth} KiB"


def snapshot(line):
    keys = ["playerCharacter", "playerLife", "tankX", "tankZ", "tankHeading", "tankSpeed",
            "shells", "aiTurn", "aiDrive", "aiSearch", "itemX", "itemZ"]
    return {k: line[k] for k in keys}


def diagnose(line, unhurt_for, still_for, hits, heals):
    """Why a battle is still open: tanks that still hit each other while life items make up for
    it are still fighting. Anything else is unexplained."""
    living = [p for p in range(PLAYERS) if line["playerLife"][p] > 0]
    facts = (f"tanks {living}, no life lost for {unhurt_for} ticks, last moved {still_for} ticks "
             f"ago; in the last {WINDOW} ticks {hits} hits, {heals} life items")
    if hits > 0 and heals > 0:
        return ("still fighting", facts)
    return ("unexplained", facts)


class Watch:
    """The traced runs of the stages, as the runner under `sim` plays them."""

    def __init__(self, sim, work, per_stage, limit, options):
        self.sim, self.per_stage, self.limit, self.options = sim, per_stage, limit, options
        self.script = os.path.join(work, "script.txt")

    def watch(self, stage, escapes):
        """Runs with the trace streamed; returns (battles, escape tick needed or None)."""
        per_stage, limit = self.per_stage, self.limit
        write_script(self.script, stage_script(stage, escapes))
        ticks = 40 + per_stage * (limit + 1000)
        proc = subprocess.Popen([self.sim, "--script", self.script, "--trace", "/dev/stdout",
                                 "--ticks", str(ticks)] + self.options,
                                stdout=subprocess.PIPE, text=True, bufsize=1 << 20)
        battles, current, selection_ticks = [], None, 0
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
                            assert current["ticks"] == WARM_UP[stage], ("warm-up",
                                                                        current["ticks"])
                            warm_up_left = False
                        else:
                            battles.append(current)
                        current = None
                        if len(battles) == per_stage:
                            break
                    selection_ticks += 1
                    continue
                tick = int(raw[8:raw.index(",")])
                if current is None:
                    line = json.loads(raw)
                    assert line["stageIndex"] == stage, ("stage", line["stageIndex"], stage)
                    current = {"stage": stage, "start": tick, "types": line["playerCharacter"],
                               "computer": line["computerDriven"],
                               "selection_before": selection_ticks, "escaped": False}
                    selection_ticks = 0
                current["ticks"] = tick - current["start"] + 1
                current["last"] = raw
                if current["ticks"] > limit - WINDOW:  # watch who still moves near the limit
                    self.follow(current, json.loads(raw), tick)
                if current["ticks"] == limit:
                    line = json.loads(raw)
                    current["state"] = snapshot(line)
                    current["why"] = diagnose(line, tick - current["hurt"],
                                              tick - current["moved"], current.get("hits", 0),
                                              current.get("heals", 0))
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

    @staticmethod
    def follow(current, line, tick):
        """Notes when the tanks last moved and lost life, and the hits and heals meanwhile."""
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

    def summary_line(self, stage, escapes, end_tick):
        write_script(self.script, stage_script(stage, escapes))
        out = subprocess.run([self.sim, "--script", self.script, "--ticks", str(end_tick)] +
                             self.options, capture_output=True, text=True)
        assert out.returncode == 0, out.stderr
        return out.stdout.strip().splitlines()[-1]

    def stage(self, stage, failures):
        """Plays the stage's battles, escaping those open too long; returns them."""
        escapes = []
        while True:
            battles, escape_at = self.watch(stage, escapes)
            if escape_at is None:
                break
            escapes.append(escape_at)
        if len(battles) < self.per_stage:
            failures.append(f"stage {stage}: only {len(battles)} battles were traced")
        # The first selection tick after the last battle: closing there counts exactly these.
        end_tick = battles[-1]["start"] + battles[-1]["ticks"] if battles else 0
        line = self.summary_line(stage, escapes, end_tick)
        result = summary(line)
        if result is None:
            failures.append(f"stage {stage}: bad summary line {line!r}")
            return []
        winners = result["winners"]
        if stage in WARM_UP:
            winners = winners[1:]
        if len(winners) != len(battles) or winners != [b["winner"] for b in battles]:
            failures.append(f"stage {stage}: summary {line!r} disagrees with the trace "
                            f"{[b['winner'] for b in battles]}")
        print(f"stage {stage}: {line}")
        for i, b in enumerate(battles):
            self.check_battle(stage, i, b, failures)
        return battles

    def check_battle(self, stage, i, b, failures):
        if i > 0 and b["selection_before"] != 1:
            failures.append(f"stage {stage} battle {i}: {b['selection_before']} selection ticks "
                            "before it, expected 1 (Enter held)")
        if b["computer"] != [1] * PLAYERS:
            failures.append(f"stage {stage} battle {i}: computerDriven {b['computer']}")
        print(f"  battle {i}: start {b['start']} ticks {b['ticks']} types {b['types']} "
              f"winner {b['winner']} (type {b['winnerType']}) lives {b['lives']}"
              + (" ESCAPED" if b["escaped"] else ""))
        if b["escaped"]:
            kind, why = b["why"]
            print(f"    open after {self.limit} ticks: {kind}: {why}")
            print(f"    state: {json.dumps(b['state'])}")
            if kind == "unexplained" or os.environ.get("SOAK_STRICT") == "1":
                failures.append(f"stage {stage} battle {i}: no winner within {self.limit} ticks "
                                f"({kind})")
        elif b["winner"] < 0:
            failures.append(f"stage {stage} battle {i}: ended without a winner")


def print_distribution(all_battles):
    ended = [b for b in all_battles if not b["escaped"] and b["winner"] >= 0]
    if not ended:
        return
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


def watch_stages(sim, work, per_stage, limit, stages, *options):
    watch = Watch(sim, work, int(per_stage), int(limit), list(options))
    failures, all_battles = [], []
    for stage in (int(s) for s in stages.split()):
        all_battles += watch.stage(stage, failures)
    print_distribution(all_battles)
    for f in failures:
        print("FAIL: " + f, file=sys.stderr)
    sys.exit(1 if failures else 0)


def main(argv):
    what, args = argv[1], argv[2:]
    if what == "script":
        print("\n".join(stage_script(int(args[0]))))
    elif what == "stage":
        line, stage, per_stage, longest, memory, check_memory = args
        check_long_stage(line, int(stage), int(per_stage), int(longest), memory,
                         check_memory == "1")
    elif what == "watch":
        watch_stages(*args)
    else:
        sys.exit(f"unknown check {what}")


main(sys.argv)
