"""The trace checks of field_joystick.sh's three runs. Usage: one|none|battle TRACE"""
import sys

from lib.trace import NOT_JOINED, SOUND, index_by_tick, load


def one_joystick(t):
    """Button 1 joins player 2, a push right picks the next type once; the missing second
    joystick reads left every tick and never joins player 3."""
    sel = [l for l in t if l["screen"] == "selection"]
    assert [l["tick"] for l in sel] == list(range(21)), [l["tick"] for l in sel]
    assert all(l["playerCharacter"][2] == NOT_JOINED for l in t[:5])
    assert t[5]["playerCharacter"][2] == 2 and t[5]["sounds"] == [SOUND.LIFE], t[5]
    assert all(l["playerCharacter"][2] == 2 for l in t[5:10])
    assert t[10]["playerCharacter"][2] == 3 and t[10]["steerInput"][2] == 2, t[10]
    assert all(l["playerCharacter"][2] == 3 for l in sel[10:])
    assert all(l["steerInput"][3] == -1 and l["playerCharacter"][3] == NOT_JOINED for l in sel)


def no_joystick(t):
    """Players 2 and 3 read nothing at all."""
    assert len(t) == 12
    for l in t:
        assert l["steerInput"][2:] == [0, 0] and l["fireState"][2:] == [0, 0], l["tick"]
        assert l["playerCharacter"][2:] == [NOT_JOINED, NOT_JOINED], l["tick"]


def joystick_battle(rows):
    """The first joystick drives player 2: forward and left, then back and right; button 1 alone
    fires once per press, buttons 1 and 2 together ask nothing."""
    t = index_by_tick(rows)
    assert t[5]["screen"] == "selection" and t[6]["screen"] == "battle", (t[5]["screen"],
                                                                          t[6]["screen"])
    b = t[6]
    assert b["computerDriven"] == [0, 1, 0, 1], b["computerDriven"]
    assert b["playerCharacter"][2] == 2
    for k in range(10, 40):
        assert t[k]["steerInput"][2] == -1 and t[k]["throttleInput"][2] == -1, k
    assert t[39]["tankSpeed"][2] > 0, t[39]["tankSpeed"]
    assert t[39]["tankHeading"][2] != t[9]["tankHeading"][2]
    for k in range(40, 50):
        assert t[k]["steerInput"][2] == 1 and t[k]["throttleInput"][2] == 1, k
    assert t[50]["shells"][2] == t[49]["shells"][2] - 1, (t[49]["shells"], t[50]["shells"])
    assert t[50]["fireState"][2] == -1 and t[51]["fireState"][2] == -1
    assert t[52]["fireState"][2] == 0
    assert all(t[k]["fireState"][2] == 0 for k in range(54, 60))
    assert t[59]["shells"][2] >= t[53]["shells"][2], (t[53]["shells"], t[59]["shells"])


CHECKS = {"one": one_joystick, "none": no_joystick, "battle": joystick_battle}
CHECKS[sys.argv[1]](load(sys.argv[2]))
