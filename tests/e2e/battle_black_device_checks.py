"""The checks of battle_black_device.sh. Usage:
  battles TRACE                        prints the first and last tick of the first battle, which
                                       must be won, and the first tick of the second
  lit SHOTS_DIR FIRST1 LAST1 FIRST2    the lines between the views on those ticks' screenshots
"""
import sys

from lib.trace import load
from screen_check import DEVICE, Shot


def battles(path):
    ticks = load(path)
    starts = [t["tick"] for a, t in zip(ticks, ticks[1:]) if t["screen"] == "battle" != a["screen"]]
    ends = [a for a, t in zip(ticks, ticks[1:]) if a["screen"] == "battle" != t["screen"]]
    assert len(starts) >= 2 and ends, "fewer than two battles in 6000 ticks"
    assert ends[0]["winner"] >= 0 and ends[0]["zoomStep"] == 303, "the first battle had no winner"
    print(starts[0], ends[0]["tick"], starts[1])


# The device's visible rows 1 to 419 (its top row lies under the status panels); the views cover
# (1, 1) to (308, 208) and (311, 211) to (618, 418).
LINES = {(x, y) for y in range(1, 420) for x in (0, 309, 310, 619)}
LINES |= {(x, y) for x in range(620) for y in (209, 210, 419)}


def lit_pixels(folder, tick):
    shot = Shot(f"{folder}/tick-{tick}.png")
    return sum(1 for x, y in LINES if shot.pixel(DEVICE[0] + x, DEVICE[1] + y) != (0, 0, 0))


def lit(folder, *ticks):
    start1, won, start2 = (lit_pixels(folder, tick) for tick in ticks)
    print(f"{len(LINES)} pixels between and around the views; lit: {start1} at the first battle's "
          f"start, {won} under its winner's view, {start2} at the second battle's start")
    if won < len(LINES) // 4:
        sys.exit("FAIL: the winner's view did not cover the lines between the views")
    if start1 or start2:
        sys.exit("FAIL: a battle starts with lit pixels between the views")


CHECKS = {"battles": battles, "lit": lit}
CHECKS[sys.argv[1]](*sys.argv[2:])
