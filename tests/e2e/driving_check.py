"""Replays the driving of the keyboard players from a runner trace and checks it tick by tick.

Usage: driving_check.py TRACE PLAYER... ; prints a JSON summary and exits 1 on the first fault.

For each battle tick it recomputes the player's heading, speed and both axis steps from the
previous tick (field edge, the other tanks' 70-unit boxes, the wall rectangles, the stage-5
drift) and demands the traced values exactly, counting the steps that the edge, a wall or a
tank held back. A tick is left out (and counted under "skipped") only when something besides
the player's own drive may have changed it: a net that pulled the tank, another player's
whirlpool turning it, an elimination parking a tank, or the player's own gun or ability.
Hits, mines and pick-ups change lives and magazines only, so those ticks are replayed too.
Every tank in play, computer-driven or not, must stay in -750..750 and out of the walls in
every tick, and may enter another tank's box only when pulled there by a net.
"""
import json
import math
import sys

from lib.trace import FREE, PLAYERS, TANK, WALL_SLOTS, load

EDGE = 750.0
REACH = 70.0
# The tank types whose abilities move other tanks: the net's and the whirlpool's.
SPIDER = TANK.SPIDER
WHIRLPOOL = TANK.FISH
# Reaches of a net and of a whirlpool, taken inclusive so that a doubtful tick is left out.
NET_REACH = 60.0
WHIRLPOOL_REACH = 100.0


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


def inside_wall(state, x, z):
    for w in range(WALL_SLOTS):
        wx, wz = state["wallX"][w], state["wallZ"][w]
        if wx < x < wx + state["wallWidth"][w] and wz < z < wz + state["wallDepth"][w]:
            return True
    return False


def inside_tank(x, z, ox, oz):
    return ox - REACH < x < ox + REACH and oz - REACH < z < oz + REACH


def steer(heading, steer_input):
    if steer_input == -1:
        heading += 4
        if heading > 360:
            heading = 0
    if steer_input == 1:
        heading -= 4
        if heading < 0:
            heading = 360
    return heading


def throttle(speed, throttle_input, max_speed):
    if throttle_input == -1 and speed < max_speed:
        speed += 1
    if throttle_input == 1 and speed > -max_speed / 2.0:
        speed -= 1
    if throttle_input == 0:
        if speed > 0:
            speed -= 1
        elif speed < 0:
            speed += 1
    return speed


class Holds:
    """Contacts seen while replaying one player: restores per axis and cause, slides, pins."""

    def __init__(self):
        self.wall = 0  # axis steps undone by a wall
        self.tank = 0  # axis steps undone by another tank's box
        self.edge = 0  # axis steps clamped at the field edge
        self.wall_slides = 0  # ticks with one axis held by a wall while the other moved
        self.tank_slides = 0  # the same for a tank's box
        self.pinned = 0  # ticks with both axes held by walls or tanks at non-zero speed

    def summary(self):
        return dict(self.__dict__)


def keep_in_field(state, others, x, z, prev, holds):
    """Returns the position after the check and the cause that undid the step, if any."""
    if x > EDGE or x < -EDGE or z > EDGE or z < -EDGE:
        holds.edge += 1
    x = max(-EDGE, min(EDGE, x))
    z = max(-EDGE, min(EDGE, z))
    cause = None
    for ox, oz in others:
        if inside_tank(x, z, ox, oz):
            x, z = prev
            cause = "tank"
    if inside_wall(state, x, z):
        x, z = prev
        cause = "wall"
    if cause is not None:
        setattr(holds, cause, getattr(holds, cause) + 1)
    return x, z, cause


def count_slide(holds, causes, moved, speed):
    held = [c for c in causes if c is not None]
    if len(held) == 2 and speed != 0:
        holds.pinned += 1
    if len(held) == 1 and moved:
        if held[0] == "wall":
            holds.wall_slides += 1
        else:
            holds.tank_slides += 1


def replay_step(prev, cur, p, holds):
    """The player's own step of tick `cur`, from the state after tick `prev`."""
    heading = steer(prev["tankHeading"][p], cur["steerInput"][p])
    if heading != cur["tankHeading"][p]:
        fail("tick %d: player %d heading %d, expected %d" %
             (cur["tick"], p, cur["tankHeading"][p], heading))
    speed = throttle(prev["tankSpeed"][p], cur["throttleInput"][p], cur["maxSpeed"][p])
    # A collision never changes the speed: it is the throttle's alone.
    if speed != cur["tankSpeed"][p]:
        fail("tick %d: player %d speed %d, expected %d" %
             (cur["tick"], p, cur["tankSpeed"][p], speed))
    others = other_tanks(prev, cur, p)
    h = heading * 3.14 / 180
    x, z = prev["tankX"][p], prev["tankZ"][p]
    start = (x, z)
    x = x + speed * math.cos(h)
    if cur["stageIndex"] == 4:
        if 350 < z < 525:
            x += 10
        if -525 < z < -350:
            x -= 10
    x, z, cause_x = keep_in_field(cur, others, x, z, start, holds)
    after_x = (x, z)
    z = z + speed * math.sin(h)
    x, z, cause_z = keep_in_field(cur, others, x, z, after_x, holds)
    if (x, z) != (cur["tankX"][p], cur["tankZ"][p]):
        fail("tick %d: player %d at (%r, %r), expected (%r, %r)" %
             (cur["tick"], p, cur["tankX"][p], cur["tankZ"][p], x, z))
    count_slide(holds, [cause_x, cause_z], (x, z) != start, speed)


def other_tanks(prev, cur, p):
    """Where the other tanks stood during p's step: players before p have already stepped."""
    where = []
    for k in range(PLAYERS):
        if k != p:
            state = cur if k < p else prev
            where.append((state["tankX"][k], state["tankZ"][k]))
    return where


def live_nets(prev, cur):
    return [(x, z) for state in (prev, cur) for x, z in zip(state["netX"], state["netZ"])
            if x != FREE]


def near(x, z, cx, cz, reach):
    return abs(x - cx) <= reach and abs(z - cz) <= reach


def netted(prev, cur, p):
    """True when a net may have pulled player p in this tick (the spider is never held)."""
    if cur["playerCharacter"][p] == SPIDER:
        return False
    x, z = cur["tankX"][p], cur["tankZ"][p]
    # The pull puts the tank on the net; a tank that touched one after its drive is on it.
    return any(near(x, z, nx, nz, NET_REACH) for nx, nz in live_nets(prev, cur))


def whirled(prev, cur, p):
    """True when another player's whirlpool may have turned player p in this tick."""
    for k in range(PLAYERS):
        if k == p or cur["playerCharacter"][k] != WHIRLPOOL:
            continue
        if prev["abilityState"][k] <= 0 and cur["abilityState"][k] <= 0:
            continue
        cx, cz = cur["abilityState"][k + 8], cur["abilityState"][k + 12]
        for state in (prev, cur):
            if near(state["tankX"][p], state["tankZ"][p], cx, cz, WHIRLPOOL_REACH):
                return True
    return False


def someone_eliminated(prev, cur):
    """An elimination parks a tank outside the field at any point of the tick."""
    return any(prev["playerLife"][k] > 0 and cur["playerLife"][k] <= 0 for k in range(PLAYERS))


def own_effects(prev, cur, p):
    """The player's own gun or ability moved its speed (recoil, dash, flames)."""
    return (cur["shells"][p] < prev["shells"][p] or cur["abilityState"][p] > 0 or
            prev["abilityState"][p] > 0)


def outside_cause(prev, cur, p):
    """Why this tick of player p cannot be replayed from its inputs alone, or None."""
    if someone_eliminated(prev, cur):
        return "elimination"
    if netted(prev, cur, p):
        return "net"
    if whirled(prev, cur, p):
        return "whirlpool"
    if own_effects(prev, cur, p):
        return "own gun or ability"
    return None


def check_positions(prev, cur, p):
    """No tank in play leaves the field or stands in a wall; p never enters another's box."""
    x, z = cur["tankX"][p], cur["tankZ"][p]
    if not (-EDGE <= x <= EDGE and -EDGE <= z <= EDGE):
        fail("tick %d: player %d outside the field at (%r, %r)" % (cur["tick"], p, x, z))
    if inside_wall(cur, x, z):
        fail("tick %d: player %d inside a wall at (%r, %r)" % (cur["tick"], p, x, z))
    for k in range(PLAYERS):
        if k == p or cur["playerLife"][k] <= 0 or prev["screen"] != "battle":
            continue
        entered = (inside_tank(x, z, cur["tankX"][k], cur["tankZ"][k]) and
                   not inside_tank(prev["tankX"][p], prev["tankZ"][p], prev["tankX"][k],
                                   prev["tankZ"][k]))
        # Only a net can pull one tank into another's box.
        if entered and not netted(prev, cur, p) and not netted(prev, cur, k):
            fail("tick %d: players %d and %d came inside each other's box" %
                 (cur["tick"], p, k))


def main():
    trace, players = sys.argv[1], [int(a) for a in sys.argv[2:]]
    lines = load(trace)
    holds = {p: Holds() for p in players}
    checked = 0
    skipped = {}
    for prev, cur in zip(lines, lines[1:]):
        if cur["screen"] != "battle":
            continue
        for k in range(PLAYERS):
            if cur["playerLife"][k] > 0:
                check_positions(prev, cur, k)
        if prev["screen"] != "battle":
            continue
        for p in players:
            if prev["playerLife"][p] <= 0:
                continue
            cause = outside_cause(prev, cur, p)
            if cause is not None:
                skipped[cause] = skipped.get(cause, 0) + 1
                continue
            replay_step(prev, cur, p, holds[p])
            checked += 1
    summary = {"checked": checked, "skipped": skipped}
    for p in players:
        summary["player%d" % p] = holds[p].summary()
    print(json.dumps(summary))


main()
