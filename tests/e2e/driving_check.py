"""Replays the driving of the keyboard players from a runner trace and checks it tick by tick.

Usage: driving_check.py TRACE PLAYER... ; prints a JSON summary and exits 1 on the first fault.

For each battle tick it recomputes the player's heading, speed and both axis steps from the
previous tick (field edge, the other tanks' 70-unit boxes, the wall rectangles, the stage-5
drift) and demands the traced values exactly. It also checks that no traced position of a
tank in play lies outside -750..750, inside a wall or inside another tank's box. Ticks with a
net in the field are skipped: a net pulls a tank by itself.
"""
import json
import math
import sys

EDGE = 750.0
REACH = 70.0


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


def inside_wall(state, x, z):
    for w in range(21):
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
    def __init__(self):
        self.wall = 0
        self.tank = 0
        self.edge = 0


def keep_in_field(state, others, x, z, prev, holds):
    if x > EDGE or x < -EDGE or z > EDGE or z < -EDGE:
        holds.edge += 1
    x = max(-EDGE, min(EDGE, x))
    z = max(-EDGE, min(EDGE, z))
    for ox, oz in others:
        if inside_tank(x, z, ox, oz):
            x, z = prev
            holds.tank += 1
    if inside_wall(state, x, z):
        x, z = prev
        holds.wall += 1
    return x, z


def replay_step(prev, cur, p, holds):
    """The player's own step of tick `cur`, from the state after tick `prev`."""
    heading = steer(prev["tankHeading"][p], cur["steerInput"][p])
    if heading != cur["tankHeading"][p]:
        fail("tick %d: player %d heading %d, expected %d" %
             (cur["tick"], p, cur["tankHeading"][p], heading))
    speed = throttle(prev["tankSpeed"][p], cur["throttleInput"][p], cur["maxSpeed"][p])
    if speed != cur["tankSpeed"][p]:
        fail("tick %d: player %d speed %d, expected %d" %
             (cur["tick"], p, cur["tankSpeed"][p], speed))
    # Players before p have already stepped in this tick; those after p have not.
    others = [(cur if k < p else prev)["tankX"][k] for k in range(4)]
    others = [(others[k], (cur if k < p else prev)["tankZ"][k]) for k in range(4) if k != p]
    h = heading * 3.14 / 180
    x, z = prev["tankX"][p], prev["tankZ"][p]
    start = (x, z)
    x = x + speed * math.cos(h)
    if cur["stageIndex"] == 4:
        if 350 < z < 525:
            x += 10
        if -525 < z < -350:
            x -= 10
    x, z = keep_in_field(cur, others, x, z, start, holds)
    start = (x, z)
    z = z + speed * math.sin(h)
    x, z = keep_in_field(cur, others, x, z, start, holds)
    if (x, z) != (cur["tankX"][p], cur["tankZ"][p]):
        fail("tick %d: player %d at (%r, %r), expected (%r, %r)" %
             (cur["tick"], p, cur["tankX"][p], cur["tankZ"][p], x, z))


def check_positions(state, p):
    x, z = state["tankX"][p], state["tankZ"][p]
    if not (-EDGE <= x <= EDGE and -EDGE <= z <= EDGE):
        fail("tick %d: player %d outside the field at (%r, %r)" % (state["tick"], p, x, z))
    if inside_wall(state, x, z):
        fail("tick %d: player %d inside a wall at (%r, %r)" % (state["tick"], p, x, z))
    for k in range(4):
        ox, oz = state["tankX"][k], state["tankZ"][k]
        if k != p and abs(ox) <= EDGE and inside_tank(x, z, ox, oz):
            fail("tick %d: player %d inside tank %d's box" % (state["tick"], p, k))


def nets_out(state):
    return any(x != -5000 for x in state["netX"])


def main():
    trace, players = sys.argv[1], [int(a) for a in sys.argv[2:]]
    lines = [json.loads(line) for line in open(trace)]
    holds = {p: Holds() for p in players}
    checked = 0
    for prev, cur in zip(lines, lines[1:]):
        if cur["screen"] != "battle":
            continue
        for p in players:
            if cur["playerLife"][p] <= 0 or nets_out(cur):
                continue
            check_positions(cur, p)
            if prev["screen"] == "battle" and prev["playerLife"][p] > 0 and not nets_out(prev):
                replay_step(prev, cur, p, holds[p])
                checked += 1
    summary = {"checked": checked}
    for p in players:
        summary["player%d" % p] = {"wall": holds[p].wall, "tank": holds[p].tank,
                                   "edge": holds[p].edge}
    print(json.dumps(summary))


main()
