"""Traces, summary lines and runs of the runner, and the game's facts the checks compare them with.

The facts (the parked position of a free slot, the table sizes, the sound-effect indices, the
tank types, the key codes of a script) are read from the headers the game is built from,
src/core/facts.h and src/platform/events.h, and never restated here: a check then cannot drift
from the game it checks. The runner could not tell them instead without a new option, and
its command line is a contract of its own; the headers are what the runner under test was
compiled from. A fact renamed or removed there fails the checks with its name.
"""
import json
import os
import re
import subprocess
import sys
import types

SOURCE_DIR = os.path.normpath(os.path.join(os.path.dirname(__file__), "..", "..", "..", "src"))
FACTS_HEADER = os.path.join(SOURCE_DIR, "core", "facts.h")
EVENTS_HEADER = os.path.join(SOURCE_DIR, "platform", "events.h")

_CONSTANT = re.compile(r"constexpr\s+(?:int|std::u?int32_t)\s+(k\w+)\s*=\s*(-?\d+)\s*;")
_ENUM = r"enum\s+(?:class\s+)?%s\b[^{]*\{(.*?)\};"


def fail(message):
    """Ends the check with one line on standard error."""
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


def _read(path):
    with open(path) as header:
        return header.read()


def _enum(text, name, prefix):
    """The entries of enum `name` as {NAME: value}, `prefix` taken off: kSoundShot -> SHOT."""
    body = re.search(_ENUM % name, text, re.DOTALL)
    if body is None:
        fail(f"no enum {name} in {FACTS_HEADER}")
    values, value = {}, -1
    for entry in re.sub(r"//[^\n]*", "", body.group(1)).split(","):
        entry = entry.strip()
        if not entry:
            continue
        entry_name, _, given = (part.strip() for part in entry.partition("="))
        value = int(given) if given else value + 1
        values[_upper_snake(entry_name[len(prefix):])] = value
    return types.SimpleNamespace(**values)


def _upper_snake(camel):
    return re.sub(r"(?<=[a-z0-9])(?=[A-Z])", "_", camel).upper()


def _constants(text):
    return {name: int(value) for name, value in _CONSTANT.findall(text)}


def fact(name):
    """A whole-number constant of facts.h by its name there, e.g. fact("kFreeSlot")."""
    if name not in FACTS:
        fail(f"{name} is not in {FACTS_HEADER}")
    return FACTS[name]


def _keys(text):
    """The script's key codes: the named virtual keys, and a letter's code is its capital."""
    block = re.search(r"namespace vk \{(.*?)\}", text, re.DOTALL)
    if block is None:
        fail(f"no key codes in {EVENTS_HEADER}")
    keys = {_upper_snake(name): int(code)
            for name, code in re.findall(r"k(\w+) = (\d+)", block.group(1))}
    keys.update({letter: ord(letter) for letter in "ABCDEFGHIJKLMNOPQRSTUVWXYZ"})
    masks = {_upper_snake(name): int(value)
             for name, value in re.findall(r"kMask(\w+) = (\d+)", text)}
    return types.SimpleNamespace(**keys), types.SimpleNamespace(**masks)


_FACTS_TEXT = _read(FACTS_HEADER)
FACTS = _constants(_FACTS_TEXT)
FREE = fact("kFreeSlot")  # x of a free slot: where an idle object or a lost tank is parked
PLAYERS = fact("kPlayers")
SHOT_SLOTS = fact("kShotSlots")
STAR_SLOTS = fact("kStarSlots")
WALL_SLOTS = fact("kWallSlots")
NOT_JOINED = fact("kNotJoined")
NO_WINNER = fact("kNoWinner")
SOUND = _enum(_FACTS_TEXT, "SoundIndex", "kSound")  # SOUND.SHOT, SOUND.DAM, ...
TANK = _enum(_FACTS_TEXT, "TankType", "k")  # TANK.BEAR, TANK.FOX, ...
KEY, MASK = _keys(_read(EVENTS_HEADER))  # KEY.ENTER, KEY.LEFT, KEY.F; MASK.CTRL


def load(path):
    """Every line of a trace, in order."""
    with open(path) as trace:
        return [json.loads(line) for line in trace]


def index_by_tick(rows):
    return {row["tick"]: row for row in rows}


def battle_rows(rows):
    return [row for row in rows if row["screen"] == "battle"]


def last(path):
    """The last line of a trace, read from its end: a long run's trace is large."""
    with open(path, "rb") as trace:
        trace.seek(0, os.SEEK_END)
        trace.seek(max(0, trace.tell() - 65536))
        return json.loads(trace.read().splitlines()[-1])


SUMMARY = re.compile(r"ticks=(\d+) battles=(\d+) winners=\[([-0-9,]*)\] seconds=([0-9.]+)$")


def summary(output):
    """The runner's summary, the last line of its standard output, as a dict (ticks, battles,
    winners, seconds), or None when that line is not a summary."""
    lines = output.strip().splitlines()
    match = SUMMARY.match(lines[-1]) if lines else None
    if match is None:
        return None
    ticks, battles, winners, seconds = match.groups()
    return {"ticks": int(ticks), "battles": int(battles),
            "winners": [int(w) for w in winners.split(",") if w], "seconds": float(seconds)}


def write_script(path, lines):
    with open(path, "w") as script:
        script.write("\n".join(lines) + "\n")


def run_script(sim, script, lines, ticks, trace, what):
    """Writes `lines` as the script `script`, runs the runner on it for `ticks` ticks with its
    trace at `trace`, and returns its standard output; a failed run fails the check as `what`."""
    write_script(script, lines)
    run = subprocess.run([sim, "--script", script, "--ticks", str(ticks), "--trace", trace],
                         capture_output=True, text=True)
    if run.returncode != 0:
        fail(f"{what}: runner exited {run.returncode}: {run.stderr[-1000:]}")
    return run.stdout
