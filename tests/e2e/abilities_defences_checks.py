"""The checks of abilities_defences.sh, which says what they prove. Usage: SIM WORK_DIR"""
import sys

from lib.battle import ability, battle, expect, launches
from lib.trace import FREE, KEY, SHOT_SLOTS, SOUND, TANK

sim, work = sys.argv[1], sys.argv[2]


def defend(name, tank_type, events, ticks):
    return battle(sim, work, name, tank_type, TANK.FOX, events, ticks)


# Cloak: 200 ticks; its blink flag shows the tank in its own view on every second tick.
name = "cloak"
rows = defend(name, TANK.FOX, ability(2), 240)
L = launches(name, rows, SOUND.FOX)[0]
timers = [rows[L + k]["abilityState"][0] for k in range(201)]
flags = [rows[L + k]["abilityState"][4] for k in range(200)]
expect(name, timers == list(range(199, -1, -1)) + [0], "cloak timer")
expect(name, flags == [1, 0] * 100, f"blink flags {flags[:8]}...")

# Shield: player 1 turns to heading 180 and fires along z = -750; the pig's shield destroys
# the shot 60 units out, before it can hit.
name = "shield"
rows = defend(name, TANK.PIG, [(1, f"down {KEY.A}"), (58, f"up {KEY.A}"), (60, f"down {KEY.F}"),
                               (61, f"up {KEY.F}")] + ability(60), 200)
expect(name, rows[59]["tankHeading"][1] == 180, f"aim: heading {rows[59]['tankHeading'][1]}")
L = launches(name, rows, SOUND.SHIELD)[0]
expect(name, L == 60 and rows[L]["abilityState"][0] == 99, "shield launch")
slots = [s for s in range(SHOT_SLOTS) if abs(rows[60]["shotX"][s] - 690) < 1]
expect(name, len(slots) == 1, "player 1's shot is not in the table")
s = slots[0]
gone = next(i for i in range(61, len(rows)) if rows[i]["shotX"][s] == FREE)
expect(name, gone == 106 and abs(rows[105]["shotX"][s] + 660) < 1,
       f"the shot went at battle tick {gone}, last at x {rows[gone - 1]['shotX'][s]}")
expect(name, rows[gone]["playerLife"][0] == rows[gone - 1]["playerLife"][0] and
       SOUND.DAM not in rows[gone]["sounds"], "the shot hit the shielded pig")
expect(name, rows[L + 99]["abilityState"][0] == 0, "the shield did not end after 100 ticks")

# Dash: launched while reversing, 75 on the launch tick and the 28 after it, then 25.
name = "dash"
rows = defend(name, TANK.FLYING_SQUIRREL, [(1, f"down {KEY.DOWN}")] + ability(16), 60)
expect(name, rows[15]["tankSpeed"][0] < 0, "the momonga is not reversing")
L = launches(name, rows, SOUND.MOMONGA)[0]
speeds = [rows[L + k]["tankSpeed"][0] for k in range(31)]
expect(name, speeds == [75] * 29 + [25, 24], f"dash speeds {speeds}")

# Decoy: stands still for 200 ticks at the launch place, then blinks through its last 49.
name = "decoy"
rows = defend(name, TANK.CAT, ability(2), 270)
L = launches(name, rows, SOUND.CAT)[0]
a = rows[L]["abilityState"]
expect(name, (a[0], a[4], a[8], a[12]) == (249, 0, -750, -750), f"decoy launch {a}")
flags = [rows[L + k]["abilityState"][4] for k in range(249)]
expect(name, flags == [0] * 200 + [1, 0] * 24 + [1], f"decoy blink flags {flags[196:206]}...")
expect(name, rows[L + 249]["abilityState"][0] == 0, "the decoy did not end")

# Nets and mines run no ability: the timer stays 0, so the next full magazine launches again.
for name, tank_type, sound, field in (("net", TANK.SPIDER, SOUND.SPIDER, "netX"),
                                      ("mine", TANK.LOG, SOUND.SET, "mineX")):
    rows = defend(name, tank_type, ability(2) + ability(160), 170)
    ticks = launches(name, rows, sound)
    expect(name, len(ticks) == 2 and ticks[0] == 2 and ticks[1] == 160, f"launches {ticks}")
    expect(name, all(r["abilityState"][0] == 0 for r in rows), "a running timer")
    r = rows[2]
    zfield = field.replace("X", "Z")
    expect(name, (r[field][0], r[zfield][0]) == (-750, -750), f"laid at {r[field][0]}")

