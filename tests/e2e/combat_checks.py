"""The battles of combat.sh, steered by replaying, and their checks. Usage: SIM WORK_DIR"""
import math
import sys

from lib.trace import (FREE, KEY, MASK, NO_WINNER, NOT_JOINED, PLAYERS, SOUND, STAR_SLOTS, last,
                       load, run_script, summary)

sim, work = sys.argv[1], sys.argv[2]
trace_path = f"{work}/trace.jsonl"

# The longest a plan may hold its keys before the next look.
MAX_SPAN = 32

# Keys per keyboard player: left, right, forward, fire (with its modifier mask).
KEYS = {0: dict(left=KEY.LEFT, right=KEY.RIGHT, forward=KEY.UP, fire=KEY.CONTROL,
                fire_mask=MASK.CTRL),
        1: dict(left=KEY.A, right=KEY.D, forward=KEY.W, fire=KEY.F, fire_mask=0)}


def run(lines, ticks):
    return run_script(sim, f"{work}/script.txt", lines, ticks, trace_path, "combat")


def wrap(angle):
    return (angle + 180) % 360 - 180


class Driver:
    """One keyboard player: which keys it holds, and what it does next."""

    def __init__(self, p):
        self.p, self.keys, self.steer, self.forward = p, KEYS[p], 0, False

    def target(self, s):
        me = self.p
        alive = [q for q in range(PLAYERS) if q != me and s["playerLife"][q] > 0]
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
            key = self.keys["left"] if self.steer < 0 else self.keys["right"]
            events.append(f"{tick} up {key}")
        self.steer = 0
        return events

    def release(self, tick):
        events = self.release_steer(tick)
        if self.forward:
            events.append(f"{tick} up {self.keys['forward']}")
        self.forward = False
        return events


def play_battle(lines, battle_start, drivers):
    """Steers both players from the battle's first tick until a winner is decided."""
    tick, runs = battle_start + 1, 0  # the first look is at the battle's first tick
    while True:
        run(lines, tick)
        runs += 1
        s = last(trace_path)
        if s["screen"] == "battle" and s["winner"] >= 0:
            break
        if tick >= battle_start + 5000:
            sys.exit(f"no winner by tick {tick}: lives {s['playerLife']}")
        spans = []
        for d in drivers:
            events, span = d.plan(s, tick)
            lines += events
            spans.append(span)
        tick += min(spans)
    for d in drivers:
        lines += d.release(tick)
    return tick, runs


def check_battle(ticks, battle_start, types):
    """The hits, eliminations and win sequence of the battle that starts on battle_start."""
    assert ticks[battle_start - 1]["screen"] == "selection", battle_start
    battle = []
    for t in ticks[battle_start:]:
        if t["screen"] != "battle":
            break
        battle.append(t)
    first = battle[0]
    assert first["playerCharacter"][:2] == types, (first["playerCharacter"], types)
    assert first["computerDriven"] == [0, 0, 1, 1], first["computerDriven"]
    assert first["winner"] == NO_WINNER and first["zoomStep"] == 0 and first["endCount"] == 0

    # Neither stage has walls, so every `dam` is a shot hitting a tank.
    shots_fired = sum(t["sounds"].count(SOUND.SHOT) for t in battle)
    hits = sum(t["sounds"].count(SOUND.DAM) for t in battle)
    assert shots_fired >= 10, f"only {shots_fired} shots fired"
    assert hits >= 10, f"only {hits} hits"
    eliminated = {}
    for before, now in zip(battle, battle[1:]):
        for q in range(PLAYERS):
            if before["playerLife"][q] > 0 and now["playerLife"][q] <= 0:
                eliminated[q] = now
    for q, t in eliminated.items():
        # The lethal burst: the tank leaves the field, all the stars start around it.
        assert t["playerLife"][q] == 0, (t["tick"], q, t["playerLife"])
        assert t["tankX"][q] == FREE, (t["tick"], q, t["tankX"][q])
        assert len(t["starY"]) == STAR_SLOTS, len(t["starY"])
        assert all(y == 20 for y in t["starY"]), (t["tick"], t["starY"])
        assert all(z == round(t["tankZ"][q]) for z in t["starZ"]), (t["tick"], t["starZ"])
        assert all(15 <= dy <= 24 for dy in t["starDY"]), t["starDY"]
    for t in battle:
        for q in range(PLAYERS):
            assert 0 <= t["shells"][q] <= t["maxShells"][q], (t["tick"], q)

    # The win sequence.
    won = [t for t in battle if t["winner"] >= 0]
    decision = won[0]
    winner = decision["winner"]
    assert len(eliminated) == 3 and winner not in eliminated, (sorted(eliminated), winner)
    assert decision["playerLife"][winner] > 0
    assert sum(t["sounds"].count(SOUND.WIN) for t in battle) == 1, "win must play exactly once"
    assert SOUND.WIN in decision["sounds"]
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
    assert after["playerCharacter"] == types + [NOT_JOINED] * 2, after["playerCharacter"]
    order = sorted(eliminated, key=lambda q: eliminated[q]["tick"])
    print(f"battle from tick {battle_start}: types {first['playerCharacter']}, winner {winner} "
          f"on tick {decision['tick']}; {shots_fired} shots, {hits} hits, eliminated {order}")
    return winner, after["tick"]


drivers = [Driver(0), Driver(1)]

# Battle 1: player 1 joins with F (a fox beside player 0's bear); Enter on tick 10 starts it on
# stage index 1.
lines = [f"3 down {KEY.F}", f"4 up {KEY.F}", f"10 down {KEY.ENTER}", f"11 up {KEY.ENTER}"]
end1, runs1 = play_battle(lines, 11, drivers)
run(lines, end1 + 300)
ticks = load(trace_path)
winner1, back = check_battle(ticks, 11, [0, 1])

# Battle 2: back on the selection screen player 0 steps to the wood tank (9, the triple shot),
# player 1 to the pig (3), player 0 moves the stage down to index 0; Enter starts it.
lines = lines[:]
t = back + 2
for k in range(9):
    lines += [f"{t + 2 * k} down {KEY.RIGHT}", f"{t + 2 * k + 1} up {KEY.RIGHT}"]
for k in range(2):
    lines += [f"{t + 2 * k} down {KEY.D}", f"{t + 2 * k + 1} up {KEY.D}"]
t += 18
for k, key in enumerate((KEY.DOWN, KEY.LEFT, KEY.UP, KEY.ENTER)):
    lines += [f"{t + 2 * k} down {key}", f"{t + 2 * k + 1} up {key}"]
start2 = t + 7
end2, runs2 = play_battle(lines, start2, drivers)
output = run(lines, end2 + 300)
ticks = load(trace_path)
assert ticks[start2]["stageIndex"] == 0, ticks[start2]["stageIndex"]
winner2, _ = check_battle(ticks, start2, [9, 3])
result = summary(output)
assert result and result["battles"] == 2 and result["winners"] == [winner1, winner2], output
print(f"{runs1 + runs2} replays -- {output.strip()}")
