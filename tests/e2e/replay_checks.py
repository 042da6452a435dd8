"""The replay checks of replay.sh: a fuzzed evening of four pads, the instant replay's return to
the selection screen, and the size of a battle's file per minute of battle."""
import json
import random
import sys

from lib import replay

TICKS_PER_MINUTE = 3000


# The room's keys of the evening: P, Pause, - and = (volume), M (mute).
ROOM_KEYS = (80, 19, 189, 187, 77)


def evening(seed, ticks):
    """Four pads, each moving its stick and pressing buttons at random moments, Start now and
    then so that battles begin (and pause them), Back held now and then so that some end early;
    now and then a pad unplugged and plugged back a little later, and a room's key pressed. The
    room's events draw on a generator of their own, so the pads' lines stay as they were."""
    rng, room = random.Random(seed), random.Random(seed + 1)
    lines = ["joysticks 4"]
    unplugged = {}
    for tick in range(2, ticks, 10):
        if room.random() < 0.01:
            key = room.choice(ROOM_KEYS)
            lines += [f"{tick} down {key}", f"{tick + 1} up {key}"]
        for pad in range(4):
            if unplugged.get(pad) == tick:
                del unplugged[pad]
                lines.append(f"{tick} plug {pad}")
            elif pad not in unplugged and room.random() < 0.002:
                unplugged[pad] = tick + 10 * room.randint(1, 30)
                lines.append(f"{tick} unplug {pad}")
            if rng.random() < 0.15:
                x = rng.choice((0, 32768, 65535))
                y = rng.choice((0, 32768, 65535))
                buttons = rng.choice((0, 0, 1, 2, 3))
                if rng.random() < 0.05:
                    buttons |= 64  # Start
                if rng.random() < 0.005:
                    buttons |= 16  # Back, held until the pad's next change
                lines.append(f"{tick} joy {pad} {x} {y} {buttons}")
    return "\n".join(lines) + "\n"


def selection_comes_back(trace_path, asked_tick):
    """The trace line before R and the first selection line after the replay agree in every
    field but the tick."""
    rows = [json.loads(line) for line in open(trace_path)]
    before = next(r for r in rows if r["tick"] == asked_tick - 1)
    assert before["screen"] == "selection", "R came while no selection screen was up"
    replayed = [r for r in rows if r["tick"] > asked_tick and r["screen"] == "battle"]
    assert replayed, "R played no battle"
    after = next(r for r in rows if r["tick"] > replayed[-1]["tick"])
    differing = sorted(k for k in before if k != "tick" and before[k] != after[k])
    assert not differing, f"the selection screen came back changed: {differing}"
    print(f"instant replay: {len(replayed)} battle ticks, selection screen as before")


def sizes(path, label):
    """The most a battle of this record takes of the file, for each minute it has begun: its
    events from the end of the battle before (its selection screen included) and the header."""
    ends = replay.read(path).ends
    lines = open(path).read().splitlines()
    events = [line for line in lines if line[:1].isdigit()]
    header = sum(len(line) + 1 for line in lines if not line[:1].isdigit())
    worst, start = 0.0, 0
    for battle, tick, _, _ in ends:
        body = sum(len(line) + 1 for line in events if start <= int(line.split()[0]) <= tick)
        minutes = -(-(tick - start) // TICKS_PER_MINUTE) or 1
        worst = max(worst, (header + body) / minutes)
        start = tick
    total = sum(len(line) + 1 for line in lines)
    print(f"{label}: {len(ends)} battles in {ends[-1][1] / TICKS_PER_MINUTE:.1f} min, {total} bytes,"
          f" a battle at most {worst / 1024:.2f} KiB a minute")
    return worst


def main(argv):
    if argv[1] == "evening":
        sys.stdout.write(evening(int(argv[2]), int(argv[3])))
    elif argv[1] == "selection":
        selection_comes_back(argv[2], int(argv[3]))
    elif argv[1] == "sizes":
        limit = float(argv[2]) * 1024
        worst = max(sizes(path, path.rsplit("/", 1)[-1]) for path in argv[3:])
        assert worst <= limit, f"{worst / 1024:.2f} KiB a minute, more than {argv[2]}"
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
