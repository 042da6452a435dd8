"""A battle of player 0 against player 1 from the keyboard, for the checks of what one ability does
tick by tick: the script that picks both tank types and starts it, its run, and the launches seen
in its trace. Players 2 and 3 are the computer's.
"""
from lib.trace import KEY, MASK, battle_rows, fail, load, run_script


def expect(name, ok, message):
    if not ok:
        fail(f"{name}: {message}")


def ability(tick):
    """Shift pressed on battle tick `tick` and let go on the next: player 0's ability."""
    return [(tick, f"down {KEY.SHIFT} {MASK.SHIFT}"), (tick + 1, f"up {KEY.SHIFT} 0")]


def battle_script(tank_type, target_type, events):
    """Player 1 joins with F (type 1) and steps to `target_type` with D while player 0 steps to
    `tank_type` with Right, a press of each every second tick; Enter starts the battle. `events`
    are (battle tick, line) pairs from the battle's first tick. Returns the lines and that tick."""
    lines = [f"0 down {KEY.F}", f"1 up {KEY.F}"]
    t = 2
    for press in range(max(tank_type, target_type - 1)):
        for key, count in ((KEY.RIGHT, tank_type), (KEY.D, target_type - 1)):
            if press < count:
                lines += [f"{t} down {key}", f"{t + 1} up {key}"]
        t += 2
    lines += [f"{t} down {KEY.ENTER}", f"{t + 1} up {KEY.ENTER}"]
    first = t + 1
    lines += [f"{first + k} {line}" for k, line in events]
    return lines, first


def battle(sim, work, name, tank_type, target_type, events, ticks):
    """Runs the battle for `ticks` ticks from its first and returns its traced battle ticks; keys
    for that first tick are dropped with the inputs when the battle is built."""
    lines, first = battle_script(tank_type, target_type, events)
    trace_path = f"{work}/{name}.jsonl"
    run_script(sim, f"{work}/{name}.txt", lines, first + ticks, trace_path, name)
    rows = battle_rows(load(trace_path))
    expect(name, rows and rows[0]["tick"] == first, "the battle did not start when expected")
    expect(name, rows[0]["playerCharacter"][:2] == [tank_type, target_type],
           f"tank types {rows[0]['playerCharacter']}")
    return rows


def launches(name, rows, sound):
    """The battle ticks on which player 0 launched its ability (its sound with the magazine
    spent); the first must start the 40-tick reload."""
    ticks = [i for i, r in enumerate(rows) if sound in r["sounds"] and r["shells"][0] == 0]
    expect(name, ticks, f"no launch (sound {sound}) in the trace")
    expect(name, rows[ticks[0]]["reloadTimer"][0] == 40,
           "the launch did not start the 40-tick reload")
    return ticks
