#!/usr/bin/env bash
# The cloak, the shield, the dash and the decoy launched in a battle by player 0, with player 1
# joined beside it, and the nets and mines that need no running ability; the trace must show what
# each does tick by tick.
set -uo pipefail
bin="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

python3 - "$bin/burrowfield-sim" "$work" <<'PY'
import json, subprocess, sys

sim, work = sys.argv[1], sys.argv[2]
FOX, SPIDER, MOMONGA, SHIELD, CAT, SET, DAM = 10, 11, 13, 15, 16, 17, 1
DOWN, RIGHT, SHIFT, ENTER, A, F = 40, 39, 16, 13, 65, 70


def fail(name, message):
    print(f"FAIL {name}: {message}", file=sys.stderr)
    sys.exit(1)


def expect(name, cond, message):
    if not cond:
        fail(name, message)


def battle(name, tank_type, events, ticks):
    """Player 1 joins (the fox), player 0 picks `tank_type` with Right presses, Enter starts the
    battle; `events` are (battle tick, line) pairs from the battle's first tick (keys for that
    first tick are dropped when the battle is built)."""
    lines = ["0 down %d" % F, "1 up %d" % F]
    t = 2
    for _ in range(tank_type):
        lines += ["%d down %d" % (t, RIGHT), "%d up %d" % (t + 1, RIGHT)]
        t += 2
    lines += ["%d down %d" % (t, ENTER), "%d up %d" % (t + 1, ENTER)]
    first = t + 1
    lines += ["%d %s" % (first + k, line) for k, line in events]
    script, trace = f"{work}/{name}.txt", f"{work}/{name}.jsonl"
    open(script, "w").write("\n".join(lines) + "\n")
    run = subprocess.run([sim, "--script", script, "--trace", trace, "--ticks",
                          str(first + ticks)], capture_output=True, text=True)
    if run.returncode != 0:
        fail(name, f"runner exited {run.returncode}: {run.stderr[-400:]}")
    rows = [json.loads(l) for l in open(trace)]
    rows = [r for r in rows if r["screen"] == "battle"]
    expect(name, rows and rows[0]["tick"] == first, "the battle did not start when expected")
    expect(name, rows[0]["playerCharacter"][:2] == [tank_type, 1],
           f"tank types {rows[0]['playerCharacter']}")
    return rows


def launches(name, rows, sound):
    ticks = [i for i, r in enumerate(rows) if sound in r["sounds"] and r["shells"][0] == 0]
    expect(name, ticks, f"no launch (sound {sound}) in the trace")
    expect(name, rows[ticks[0]]["reloadTimer"][0] == 40, "no 40-tick reload after the launch")
    return ticks


ABILITY = lambda k: [(k, "down %d 1" % SHIFT), (k + 1, "up %d 0" % SHIFT)]

# Cloak: 200 ticks; its blink flag shows the tank in its own view on every second tick.
name = "cloak"
rows = battle(name, 1, ABILITY(2), 240)
L = launches(name, rows, FOX)[0]
timers = [rows[L + k]["abilityState"][0] for k in range(201)]
flags = [rows[L + k]["abilityState"][4] for k in range(200)]
expect(name, timers == list(range(199, -1, -1)) + [0], "cloak timer")
expect(name, flags == [1, 0] * 100, f"blink flags {flags[:8]}...")

# Shield: player 1 turns to heading 180 and fires along z = -750; the pig's shield destroys
# the shot 60 units out, before it can hit.
name = "shield"
rows = battle(name, 3, [(1, "down %d" % A), (58, "up %d" % A), (60, "down %d" % F),
                        (61, "up %d" % F)] + ABILITY(60), 200)
expect(name, rows[59]["tankHeading"][1] == 180, f"aim: heading {rows[59]['tankHeading'][1]}")
L = launches(name, rows, SHIELD)[0]
expect(name, L == 60 and rows[L]["abilityState"][0] == 99, "shield launch")
slots = [s for s in range(31) if abs(rows[60]["shotX"][s] - 690) < 1]
expect(name, len(slots) == 1, "player 1's shot is not in the table")
s = slots[0]
gone = next(i for i in range(61, len(rows)) if rows[i]["shotX"][s] == -5000)
expect(name, gone == 106 and abs(rows[105]["shotX"][s] + 660) < 1,
       f"the shot went at battle tick {gone}, last at x {rows[gone - 1]['shotX'][s]}")
expect(name, rows[gone]["playerLife"][0] == rows[gone - 1]["playerLife"][0] and
       DAM not in rows[gone]["sounds"], "the shot hit the shielded pig")
expect(name, rows[L + 99]["abilityState"][0] == 0, "the shield did not end after 100 ticks")

# Dash: launched while reversing, 75 on the launch tick and the 28 after it, then 25.
name = "dash"
rows = battle(name, 4, [(1, "down %d" % DOWN)] + ABILITY(16), 60)
expect(name, rows[15]["tankSpeed"][0] < 0, "the momonga is not reversing")
L = launches(name, rows, MOMONGA)[0]
speeds = [rows[L + k]["tankSpeed"][0] for k in range(31)]
expect(name, speeds == [75] * 29 + [25, 24], f"dash speeds {speeds}")

# Decoy: stands still for 200 ticks at the launch place, then blinks through its last 49.
name = "decoy"
rows = battle(name, 10, ABILITY(2), 270)
L = launches(name, rows, CAT)[0]
a = rows[L]["abilityState"]
expect(name, (a[0], a[4], a[8], a[12]) == (249, 0, -750, -750), f"decoy launch {a}")
flags = [rows[L + k]["abilityState"][4] for k in range(249)]
expect(name, flags == [0] * 200 + [1, 0] * 24 + [1], f"decoy blink flags {flags[196:206]}...")
expect(name, rows[L + 249]["abilityState"][0] == 0, "the decoy did not end")

# Nets and mines run no ability: the timer stays 0, so the next full magazine launches again.
for name, tank_type, sound, field in (("net", 7, SPIDER, "netX"), ("mine", 9, SET, "mineX")):
    rows = battle(name, tank_type, ABILITY(2) + ABILITY(160), 170)
    ticks = launches(name, rows, sound)
    expect(name, len(ticks) == 2 and ticks[0] == 2 and ticks[1] == 160, f"launches {ticks}")
    expect(name, all(r["abilityState"][0] == 0 for r in rows), "a running timer")
    r = rows[2]
    zfield = field.replace("X", "Z")
    expect(name, (r[field][0], r[zfield][0]) == (-750, -750), f"laid at {r[field][0]}")

print("abilities defences: ok")
PY
