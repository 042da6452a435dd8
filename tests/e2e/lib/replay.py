"""A replay file's battle ends and its notes of instant replays, as the checks compare them."""
import re
from dataclasses import dataclass, field

END = re.compile(r"^(\d+) end (\d+) ([0-9a-f]{16})\s+# winner (-?\d+)$")
INSTANT = re.compile(r"^# instant replay of battle (\d+) ended at tick (\d+) state ([0-9a-f]{16})$")


@dataclass
class Replay:
    # (battle, tick, state, winner) per battle end, (battle, tick, state) per instant replay.
    ends: list = field(default_factory=list)
    instant: list = field(default_factory=list)


def read(path):
    replay = Replay()
    with open(path) as file:
        for line in file:
            line = line.rstrip("\n")
            if m := END.match(line):
                replay.ends.append((int(m[2]), int(m[1]), m[3], int(m[4])))
            elif m := INSTANT.match(line):
                replay.instant.append((int(m[1]), int(m[2]), m[3]))
    return replay
