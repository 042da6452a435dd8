"""The trace check of combat_gun.sh, which says what it proves. Usage: TRACE"""
import math
import sys

from lib.trace import FREE, SOUND, load

ticks = load(sys.argv[1])
assert ticks[11]["screen"] == "battle" and ticks[10]["screen"] == "selection"
# The computer's tanks fire too: player 0's shots are the ticks its magazine loses a shell.
shot_ticks = [t["tick"] for p, t in zip(ticks[10:], ticks[11:]) if t["shells"][0] < p["shells"][0]]
assert shot_ticks == [13, 15, 17, 19, 50], shot_ticks
assert all(SOUND.SHOT in ticks[tick]["sounds"] for tick in shot_ticks)
# The click of tick 21 spends the request; the held key's repeats leave it spent.
assert SOUND.RELOAD in ticks[21]["sounds"], ticks[21]["sounds"]
assert [ticks[tick]["fireState"][0] for tick in (20, 21, 22, 23, 24)] == [0, -1, -1, -1, 0]

# The first shell leaves 60 ahead of the bear at (-750, -750), heading 235, with 3.14 for pi.
h = 235 * 3.14 / 180
first = ticks[13]
assert first["shotX"][0] == -750 + 60 * math.cos(h), first["shotX"][0]
assert first["shotZ"][0] == -750 + 60 * math.sin(h), first["shotZ"][0]
assert first["shotDX"][0] == 30 * math.cos(h) and first["shotDZ"][0] == 30 * math.sin(h)
assert first["tankSpeed"][0] == -9, first["tankSpeed"][0]
assert first["shells"][0] == 3 and first["reloadTimer"][0] == 29
# Its first step takes it beyond -800, so the slot is free again on the next tick.
assert ticks[14]["shotX"][0] == FREE, ticks[14]["shotX"][0]

shells = [t["shells"][0] for t in ticks]
# The last of the four shots (tick 19) starts the reload: a shell every 30 ticks, on tick 48 the
# first; the shot of tick 50 starts it again.
assert shells[19] == 0 and shells[47] == 0 and shells[48] == 1, shells[17:50]
returns = [tick for tick in range(51, 150) if shells[tick] > shells[tick - 1]]
assert returns == [79, 109, 139], returns
assert ticks[149]["shells"][0] == 3 and ticks[149]["reloadTimer"][0] == 20
