#!/usr/bin/env bash
# Whole battles fought with the main guns through the real program: players 0 and 1 join on the
# selection screen, aim and fire from the keyboard until one tank is left, and the trace must
# show the hits, the eliminations and the win sequence back to the selection screen.
#
# The runner replays a script exactly, so the players are steered by replaying: after every few
# ticks the battle so far is run again, the last traced state is read and the next keys are
# written from it (turn towards a tank, fire when it lies on the line of fire).
set -uo pipefail
bin="$1"
sim="$bin/burrowfield-sim"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -x "$sim" ] || fail "no runner at $sim"

python3 - "$sim" "$work" <<'PY' || fail "combat battle"
import json, math, subprocess, sys

sim, work = sys.argv[1], sys.argv[2]
FREE = -5000
SHOT, DAM, RELOAD, WIN = 0, 1, 2, 5

# Keys per keyboard player: left, right, forward, fire (with its modifier mask).
MAX_SPAN = 32

KEYS = {0: dict(left=37, right=39, forward=38, fire=17, fire_mask=2),
        1: dict(left=65, right=68, forward=87, fire=70, fire_mask=0)}


def run(lines, ticks, trace):
    script = f"{work}/script.txt"
    with open(script, "w") as out:
        out.write("\n".join(lines) + "\n")
    result = subprocess.run([sim, "--script", script, "--ticks", str(ticks), "--trace", trace],
                            capture_output=True, text=True)
    if result.returncode != 0:
        sys.exit(f"runner failed with {result.returncode}: {result.stderr[-2000:]}")
    return result.stdout


def last_state(trace):
    with open(trace, "rb") as f:
        f.seek(0, 2)
        size = f.tell()
        f.seek(max(0, size - 65536))
        return json.loads(f.read().splitlines()[-1])


def wrap(angle):
    return (angle + 180) % 360 - 180


class Driver:
    """One keyboard player: which keys it holds, and what it does next."""

    def __init__(self, p):
        self.p, self.keys, self.steer, self.forward = p, KEYS[p], 0, False

    def target(self, s):
        me = self.p
        alive = [q for q in range(4) if q != me and s["playerLife"][q] > 0]
        # The computer's tanks first; the duel of the two players comes last.
        alive.sort(key=lambda q: (s["computerDriven"][q] == 0,
                                  math.hypot(s["tankX"][q] - s["tankX"][me],
                                             s["tankZ"][q] - s["tankZ"][me])))
        return alive[0] if alive else None

    def plan(self, s, tick):
        """Key events from tick on, and how many ticks they cover before the next look."""
        me, k, events = self.p, self.keys, []
        t = self.target(s) if s["playerLife"][me] > 0 else None
        if t is None:
            return self.release(tick), MAX_SPAN
        dx = s["tankX"][t] - s["tankX"][me]
        dz = s["tankZ"][t] - s["tankZ"][me]
        # The game turns degrees into radians with 3.14: aim with the same factor.
        want = math.atan2(dz, dx) * 180 / 3.14
        diff = wrap(want - s["tankHeading"][me])
        forward = math.hypot(dx, dz) > 350 and abs(diff) < 30
        if forward != self.forward:
            events.append(f"{tick} {'down' if forward else 'up'} {k['forward']}")
            self.forward = forward
        if abs(diff) > 3:
            # Left adds 4 degrees a tick, right takes 4 off; within 3 degrees closing in does
            # the rest.
            steer = -1 if diff > 0 else 1
            turn = max(1, min(MAX_SPAN, round(abs(diff) / 4)))
            if steer != self.steer:
                events += self.release_steer(tick)
                events.append(f"{tick} down {k['left'] if steer < 0 else k['right']}")
            events.append(f"{tick + turn} up {k['left'] if steer < 0 else k['right']}")
            self.steer = 0
            return events, turn
        events += self.release_steer(tick)
        h = s["tankHeading"][me] * 3.14 / 180
        along = dx * math.cos(h) + dz * math.sin(h)
        across = -dx * math.sin(h) + dz * math.cos(h)
        if along <= 0 or abs(across) >= 25:
            return events, 8
        if s["shells"][me] == 0 or s["fireState"][me] != 0:
            return events, max(1, min(MAX_SPAN, s["reloadTimer"][me]))
        # The whole magazine, one press every second tick.
        presses = s["shells"][me]
        for n in range(presses):
            events.append(f"{tick + 2 * n} down {k['fire']} {k['fire_mask']}")
            events.append(f"{tick + 2 * n + 1} up {k['fire']} 0")
        return events, 2 * presses

    def release_steer(self, tick):
        events = []
        if self.steer:
            events.append(f"{tick} up {self.keys['left'] if self.steer < 0 else self.keys['right']}")
        self.steer = 0
        return events

    def release(self, tick):
        events = self.release_steer(tick)
        if self.forward:
            events.append(f"{tick} up {self.keys['forward']}")
        self.forward = False
        return events


# Player 1 joins with F (type 1); Enter on tick 10 starts the battle on stage index 1 (no walls).
lines = ["3 down 70", "4 up 70", "10 down 13", "11 up 13"]
trace = f"{work}/trace.jsonl"
battle_start, runs = 11, 0
tick = battle_start + 1  # the first look is at the battle's first tick
drivers = [Driver(0), Driver(1)]
while True:
    run(lines, tick, trace)
    runs += 1
    s = last_state(trace)
    if s["screen"] == "battle" and s["winner"] >= 0:
        break
    if tick >= 6000:
        sys.exit(f"no winner by tick {tick}: lives {s['playerLife']}")
    spans = []
    for d in drivers:
        events, span = d.plan(s, tick)
        lines += events
        spans.append(span)
    tick += min(spans)
for d in drivers:
    lines += d.release(tick)
summary = run(lines, tick + 400, trace)
ticks = [json.loads(line) for line in open(trace)]
decided = next(t["tick"] for t in ticks if t["screen"] == "battle" and t["winner"] >= 0)
print(f"battle decided on tick {decided} after {runs} replays -- {summary.strip()}")

# --- The battle ---------------------------------------------------------------------------------
battle = [t for t in ticks if t["screen"] == "battle"]
assert battle[0]["tick"] == battle_start, battle[0]["tick"]
assert ticks[battle_start - 1]["playerCharacter"][:2] == [0, 1], ticks[battle_start - 1]
first = battle[0]
assert first["computerDriven"] == [0, 0, 1, 1], first["computerDriven"]
types = first["playerCharacter"]

# Stage index 1 has no walls, so every `dam` is a shot hitting a tank.
shots_fired = sum(t["sounds"].count(SHOT) for t in battle)
hits = sum(t["sounds"].count(DAM) for t in battle)
assert shots_fired >= 10, f"only {shots_fired} shots fired"
assert hits >= 10, f"only {hits} hits"
eliminated = {}
for before, now in zip(battle, battle[1:]):
    for q in range(4):
        lost = before["playerLife"][q] - now["playerLife"][q]
        if before["playerLife"][q] > 0 and now["playerLife"][q] <= 0:
            eliminated[q] = now
for q, t in eliminated.items():
    # The lethal burst: the tank leaves the field, all 21 stars start around it.
    assert t["tankX"][q] == FREE, (t["tick"], q, t["tankX"][q])
    assert all(y == 20 for y in t["starY"]), (t["tick"], t["starY"])
    assert all(z == round(t["tankZ"][q]) for z in t["starZ"]), (t["tick"], t["starZ"])
    assert all(15 <= dy <= 24 for dy in t["starDY"]), t["starDY"]
# The magazine never holds more than its size, and shots are spent one per press.
for t in battle:
    for q in range(4):
        assert 0 <= t["shells"][q] <= t["maxShells"][q], (t["tick"], q)

# --- The win sequence ---------------------------------------------------------------------------
won = [t for t in battle if t["winner"] >= 0]
decision = won[0]
winner = decision["winner"]
assert decision["tick"] == decided, (decision["tick"], decided)
assert len(eliminated) == 3 and winner not in eliminated, (sorted(eliminated), winner)
assert decision["playerLife"][winner] > 0
assert sum(t["sounds"].count(WIN) for t in ticks) == 1, "win must play exactly once"
assert WIN in decision["sounds"]
assert all(x == FREE for x in decision["shotX"]), "shots left after the decision"
zoom = [t["zoomStep"] for t in won]
assert zoom == sorted(zoom) and zoom[-1] == 303, zoom[-5:]
# The view step that counts 500 drops the running flag; the rest of that tick still runs.
assert 500 <= won[-1]["endCount"] <= 503 and won[-1]["runningFlag"] == 0, won[-1]["endCount"]
assert all(t["endCount"] < 500 for t in won[:-1])
assert all(t["endCount"] == 0 for t in won if t["zoomStep"] < 303)
after = ticks[won[-1]["tick"] + 1]
assert after["screen"] == "selection", after["screen"]
assert 195 <= after["tick"] - decision["tick"] <= 205, after["tick"] - decision["tick"]
# The computer's slots are free again; the two players keep their tank types.
assert after["computerDriven"] == [0, 0, 0, 0], after["computerDriven"]
assert after["playerCharacter"] == types[:2] + [-1, -1], after["playerCharacter"]
assert summary.split()[1:3] == ["battles=1", f"winners=[{winner}]"], summary
print(f"winner {winner}; {shots_fired} shots, {hits} hits, eliminated in order",
      sorted(eliminated, key=lambda q: eliminated[q]["tick"]))
PY
echo "combat: ok"

