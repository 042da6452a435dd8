"""The trace checks of room_controls.sh, which says what they prove. Usage: SIM WORK_DIR"""
import os
import sys

from lib.trace import FREE, KEY, fail, load, run_script

sim, work = sys.argv[1], sys.argv[2]
PAUSE_TICKS = 50
START_BUTTON = 64  # Start in SDL's game-controller order


def state(row):
    """What a tick leaves behind, without its number, its pause and what it drew or played."""
    return {k: v for k, v in row.items() if k not in ("tick", "paused", "views", "sounds")}


def same_rows(a, b):
    return {k: v for k, v in a.items() if k not in ("tick", "paused")} == \
        {k: v for k, v in b.items() if k not in ("tick", "paused")}


def run(name, lines, ticks):
    trace = os.path.join(work, name + ".jsonl")
    run_script(sim, os.path.join(work, name + ".txt"), lines, ticks, trace, name)
    return load(trace)


# --- A pause with a shot in flight --------------------------------------------------------------
enter = [f"10 down {KEY.ENTER}", f"11 up {KEY.ENTER}"]
plain = run("plain", enter, 400)
in_flight = [r["tick"] + 1 for r in plain[30:300] if any(x != FREE for x in r["shotX"])]
if not in_flight:
    fail("no shot in flight to pause on")
at = in_flight[0]
# P held down with the key's auto-repeat toggles once; Pause goes on.
paused = run("paused", enter + [f"{at} down {KEY.P}", f"{at + 1} down {KEY.P}",
                                f"{at + 2} up {KEY.P}", f"{at + PAUSE_TICKS} down {KEY.PAUSE}",
                                f"{at + PAUSE_TICKS + 1} up {KEY.PAUSE}"], 400 + PAUSE_TICKS)
if [r["paused"] for r in plain] != [0] * len(plain):
    fail("a run without the keys is paused somewhere")
if not all(same_rows(paused[t], plain[t]) for t in range(at)):
    fail("the ticks before the pause differ")
held = paused[at:at + PAUSE_TICKS]
if [r["paused"] for r in held] != [1] * PAUSE_TICKS or paused[at + PAUSE_TICKS]["paused"] != 0:
    fail(f"not paused exactly from tick {at} to {at + PAUSE_TICKS - 1}")
if any(state(r) != state(plain[at - 1]) for r in held):
    fail("the game state moved while paused")
if any(r["views"] or r["sounds"] for r in held):
    fail("a paused tick drew or played something")
if not all(same_rows(paused[t + PAUSE_TICKS], plain[t]) for t in range(at, 400)):
    fail("the ticks after the pause are not those the battle would have had")

# --- A pad unplugged mid-battle -----------------------------------------------------------------
# Pad 0 seats player 2, who joins with A while holding the D-pad (a direction, never a button,
# so A is still "button 1 alone"); unplugged on tick 40, it pauses; plugged back in on tick 60 it
# still waits, and Start on tick 80 goes on.
DPAD_LEFT = 8192
pad = run("unplug", ["joysticks 1", f"2 joy 0 32768 32768 {1 | DPAD_LEFT}",
                     "3 joy 0 32768 32768 0"] + enter + [
    "40 unplug 0", "60 plug 0", f"80 joy 0 32768 32768 {START_BUTTON}", "82 joy 0 32768 32768 0",
    f"120 joy 0 32768 32768 {START_BUTTON}", "122 joy 0 32768 32768 0"], 200)
if pad[20]["computerDriven"][2] != 0:
    fail("player 2 did not join with the pad")
flags = [r["paused"] for r in pad]
expected = [0] * 40 + [1] * 40 + [0] * 40 + [1] * 80
if flags != expected:
    fail(f"pad pause: paused on ticks {[t for t, f in enumerate(flags) if f]}")
print("pause resumes where it stopped, an unplugged pad pauses until Start")
