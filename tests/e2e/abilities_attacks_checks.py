"""The checks of abilities_attacks.sh, which says what they prove. Usage: SIM WORK_DIR"""
import sys

from lib.battle import ability, battle, expect, launches
from lib.trace import FREE, KEY, PLAYERS, SOUND, TANK

sim, work = sys.argv[1], sys.argv[2]
TARGET = TANK.PIG


def attack(name, tank_type, events, ticks):
    return battle(sim, work, name, tank_type, TARGET, events, ticks)


# Keys for the battle's first tick are dropped with the inputs when the battle is built, so
# player 0 starts on the second tick: it turns left from 235 for 32 ticks to heading 0, facing
# player 1 along z = -750 ...
AIM = [(1, f"down {KEY.LEFT}"), (33, f"up {KEY.LEFT}")]
# ... and then drives up to player 1 until the tanks touch.
DRIVE = AIM + [(33, f"down {KEY.UP}"), (133, f"up {KEY.UP}")]

# Rocket: 40 units a tick along the heading until it meets player 1 at x 750.
name = "rocket"
rows = attack(name, TANK.BEAR, AIM + ability(35), 120)
expect(name, rows[33]["tankHeading"][0] == 0, f"aim: heading {rows[33]['tankHeading'][0]}")
L = launches(name, rows, SOUND.ROCKET)[0]
a = rows[L]["abilityState"]
expect(name, (a[0], a[4], a[8], a[12], a[16]) == (9, -710, -750, 40, 0), f"launch {a}")
end = L
while rows[end]["abilityState"][0] == 9:
    expect(name, rows[end]["abilityState"][4] == -710 + 40 * (end - L), "rocket x step")
    end += 1
r, before = rows[end], rows[end - 1]
expect(name, r["abilityState"][4] == 730 and SOUND.BOM in r["sounds"],
       f"rocket ended at x {r['abilityState'][4]} with sounds {r['sounds']}")
expect(name, (before["playerLife"][1] - r["playerLife"][1]) % 10 == 0 and
       before["playerLife"][1] - r["playerLife"][1] >= 30, "player 1 did not lose 30")
expect(name, r["shakeTimer"][0] == 10, "the attacker's view does not shake")

# Gas cloud: beside player 1, it takes 1 life on every second tick, 100 in all.
name = "gas"
rows = attack(name, TANK.SKUNK, DRIVE + ability(141), 360)
L = launches(name, rows, SOUND.HE)[0]
r = rows[L]
gap = (abs(r["tankX"][1] - r["tankX"][0]), abs(r["tankZ"][1] - r["tankZ"][0]))
expect(name, gap[0] < 100 and gap[1] < 100, f"set-up: the tanks are {gap} apart")
a = r["abilityState"]
expect(name, (a[0], a[4], a[8], a[12]) == (199, 1, round(r["tankX"][0]), round(r["tankZ"][0])),
       f"launch {a}")
# A tick's loss is the gas point plus any 10-point shot hits.
hurt = [rows[i]["abilityState"][0] for i in range(L + 1, L + 200)
        if (rows[i]["playerLife"][1] - rows[i - 1]["playerLife"][1]) % 10 == 9]
expected = list(range(198, 49, -2)) + list(range(49, 0, -2))
expect(name, hurt == expected, f"hurt at timers {hurt}")
expect(name, rows[L + 199]["abilityState"][0] == 0, "the cloud did not end")
lost = rows[L - 1]["playerLife"][1] - rows[L + 199]["playerLife"][1]
expect(name, lost >= 100 and lost % 10 == 0, f"the cloud took {lost}")

# Whirlpool: player 1 in reach turns 20 degrees a tick; 375 becomes 0.
name = "whirlpool"
rows = attack(name, TANK.FISH, DRIVE + ability(141), 200)
L = launches(name, rows, SOUND.FISH)[0]
expect(name, rows[L]["abilityState"][0] == 399, "launch timer")
headings = [rows[L + k]["tankHeading"][1] for k in range(-1, 6)]
expect(name, headings == [315, 335, 355, 0, 20, 40, 60], f"player 1 headings {headings}")

# Flame burst: one flame a tick while the timer is above 20, then the mouse burns out.
name = "flame"
rows = attack(name, TANK.MOUSE, AIM + ability(35), 120)
L = launches(name, rows, SOUND.FIRE)[0]
expect(name, rows[L]["abilityState"][0] == 49, "launch timer")
states = [rows[L + k]["fireState"][0] for k in range(29)]
expect(name, states == [3] * 29, f"no flame on some tick: {states}")
expect(name, rows[L + 29]["fireState"][0] == 3 and all(
    rows[L + k]["tankSpeed"][0] == 0 for k in range(29, 49)), "flames after timer 21")
expect(name, all(rows[L + k]["shells"][0] == 0 for k in range(50)), "the magazine refilled")
expect(name, rows[L + 48]["playerLife"][0] > 0, "the mouse burnt out early")
r = rows[L + 49]
expect(name, r["playerLife"][0] == 0 and r["tankX"][0] == FREE, "the mouse did not burn out")
expect(name, r["playerLife"][1] < rows[L]["playerLife"][1], "no flame reached player 1")

# Pyon: hops 5 units per axis a tick towards a target until it meets a tank or a shot.
name = "pyon"
rows = attack(name, TANK.RABBIT, ability(2), 900)
L = launches(name, rows, SOUND.PYON)[0]
end = L
while rows[end]["abilityState"][0] == 100:
    a, b = rows[end]["abilityState"], rows[end - 1]["abilityState"]
    expect(name, 0 <= a[4] <= 3, f"target {a[4]}")
    if end > L:
        expect(name, abs(a[8] - b[8]) <= 5 and abs(a[12] - b[12]) <= 5, "pyon step")
    end += 1
    expect(name, end < len(rows), "the pyon never met anything")
r, before = rows[end], rows[end - 1]
lost = [before["playerLife"][j] - r["playerLife"][j] for j in range(PLAYERS)]
tank_hit = SOUND.BOM in r["sounds"] and 10 in lost[1:] and r["shakeTimer"][0] == 10
shot_hit = SOUND.PYON in r["sounds"]
expect(name, tank_hit or shot_hit, f"pyon ended with sounds {r['sounds']}, lives lost {lost}")
print(f"pyon: {'tank' if tank_hit else 'shot'} met after {end - L} ticks")

