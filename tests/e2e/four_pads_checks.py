"""The trace check of four_pads.sh, which says what it proves. Usage: TRACE"""
import sys

from lib.trace import NOT_JOINED, PLAYERS, SOUND, load

t = load(sys.argv[1])
assert [l["tick"] for l in t] == list(range(359)), "ticks are not 0..358"
screens = [l["screen"] for l in t]
# Back goes down with the events of tick 110 (pad 2) and 210 (pad 0); a second later on the
# game's clock, in the pump before tick 159 and 259, it is Escape. Pad 2's Back, still held on
# the selection screen, was spent on the battle and quits nothing.
want = ["selection"] * 25 + ["battle"] * 134 + ["selection"] * 32 + ["battle"] * 68
want += ["selection"] * 100
assert screens == want, [i for i, (a, b) in enumerate(zip(screens, want)) if a != b][:3]

life, reload = SOUND.LIFE, SOUND.RELOAD
assert [l["sounds"] for l in t[2:12:2]] == [[life], [life], [life], [], [life]]
assert t[8]["playerCharacter"][0] == NOT_JOINED and t[10]["playerCharacter"][0] == 0
assert t[12]["sounds"] == [reload] * 4 and t[14]["sounds"] == [reload]
assert t[24]["playerCharacter"] == [10, 2, 3, 1], t[24]["playerCharacter"]
assert t[24]["menuRow"] == 1 and t[24]["stageIndex"] == 3 and t[24]["enterHeld"] == 1

# Four people's tanks: no computer driver in either battle.
for first in (25, 191):
    assert t[first]["computerDriven"] == [0, 0, 0, 0] and t[first]["stageIndex"] == 3
# Every tank drove; every pad fired once with A, then launched the ability with B.
for p in range(PLAYERS):
    assert (t[60]["tankX"][p], t[60]["tankZ"][p]) != (t[29]["tankX"][p], t[29]["tankZ"][p]), p
    assert t[40]["shells"][p] == t[39]["shells"][p] - 1, (p, t[39]["shells"], t[40]["shells"])
    assert t[74]["abilityState"][p] == 0 and t[75]["abilityState"][p] > 0, p
assert t[40]["sounds"] == [SOUND.SHOT] * PLAYERS
# In the second battle pad 3 (player 1) fires with F.
assert t[200]["shells"][1] == t[199]["shells"][1] - 1
