"""The trace check of selection.sh, which says what it proves. Usage: TRACE"""
import sys

from lib.trace import NOT_JOINED, SOUND, load

ticks = load(sys.argv[1])
assert [t["tick"] for t in ticks] == list(range(30)), "ticks are not 0..29"
screens = [t["screen"] for t in ticks]
assert screens == ["selection"] * 25 + ["battle"] * 5, screens

reload, life = SOUND.RELOAD, SOUND.LIFE
expected_sounds = {2: [life], 5: [reload], 7: [reload], 9: [reload], 11: [reload],
                   13: [reload], 15: [reload], 17: [reload], 19: [reload], 21: [reload]}
for t in ticks[:25]:
    want = expected_sounds.get(t["tick"], [])
    assert t["sounds"] == want, f"tick {t['tick']}: sounds {t['sounds']}, want {want}"


def at(tick, field):
    return ticks[tick][field]


# start-up state before any key: player 0 on type 0, stage index 1, tank row
assert at(0, "playerCharacter") == [0] + [NOT_JOINED] * 3, at(0, "playerCharacter")
assert at(0, "stageIndex") == 1 and at(0, "menuRow") == 0 and at(0, "selectionActive") == 1
steps = {1: [0, NOT_JOINED], 2: [0, 1], 5: [1, 1], 7: [1, 2], 9: [1, 3], 11: [1, 2], 13: [0, 2],
         15: [10, 2], 24: [10, 2]}
for tick, want in steps.items():
    got = at(tick, "playerCharacter")[:2]
    assert got == want, f"tick {tick}: playerCharacter {got}, want {want}"
    assert at(tick, "playerCharacter")[2:] == [NOT_JOINED, NOT_JOINED]
assert [at(t, "menuRow") for t in (16, 17, 24)] == [0, 1, 1]
assert [at(t, "stageIndex") for t in (18, 19, 20, 21, 24)] == [1, 0, 0, 4, 4]
# A held key is handled once: the choice stays while it is held.
assert at(6, "playerCharacter")[0] == 1 and at(5, "steerInput")[0] == 2
assert at(24, "enterHeld") == 1 and at(24, "selectionActive") == 1

first = ticks[25]
assert first["selectionActive"] == 0, first["selectionActive"]
assert first["playerCharacter"][:2] == [10, 2], first["playerCharacter"]
assert first["stageIndex"] == 4, first["stageIndex"]
