#!/usr/bin/env bash
# Every battle starts on a black 3D device, as a freshly made one would be: at the first tick of
# the first and of the second battle, the lines between the four views and the device's edges no
# view covers are black. The first battle ends with a winner, whose view grows over the whole
# device, so a device kept from it would show that picture between the second battle's views.
set -uo pipefail
sim="$1/burrowfield-sim"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# Player 0 moves to the stage row and leaves; Enter is then held for good, so the second battle
# follows the first at once. Four computer tanks fight both.
cat > "$work/script.txt" <<'SCRIPT'
1 down 40
2 up 40
3 down 17 2
4 up 17 0
6 down 13
SCRIPT

# Where the battles begin and end, from a run without pictures (the same script, the same game).
"$sim" --script "$work/script.txt" --ticks 6000 --trace "$work/trace.jsonl" > /dev/null ||
  fail "the run for the trace failed"
python3 - "$work/trace.jsonl" > "$work/battles" <<'PY' || fail "no two battles"
import json, sys
ticks = [json.loads(line) for line in open(sys.argv[1])]
starts = [t["tick"] for a, t in zip(ticks, ticks[1:]) if t["screen"] == "battle" != a["screen"]]
ends = [a for a, t in zip(ticks, ticks[1:]) if a["screen"] == "battle" != t["screen"]]
assert len(starts) >= 2 and ends, "fewer than two battles in 6000 ticks"
assert ends[0]["winner"] >= 0 and ends[0]["zoomStep"] == 303, "the first battle had no winner"
print(starts[0], ends[0]["tick"], starts[1])
PY
read -r first1 last1 first2 < "$work/battles"
echo "battle 1 from tick $first1 to $last1 (won), battle 2 from tick $first2"

"$sim" --script "$work/script.txt" --ticks $((first2 + 1)) --shot "$first1,$last1,$first2" \
  --shots-dir "$work" > /dev/null || fail "the run with screenshots failed"

python3 - "$work" "$first1" "$last1" "$first2" <<'PY' || exit 1
import struct, sys, zlib

def read_png(path):
    """The runner's 8-bit RGB screenshot as rows of bytes."""
    data = open(path, "rb").read()
    pos, idat = 8, b""
    while pos < len(data):
        (size,), kind = struct.unpack(">I", data[pos:pos + 4]), data[pos + 4:pos + 8]
        body = data[pos + 8:pos + 8 + size]
        pos += 12 + size
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", body[:10])
            assert (depth, colour) == (8, 2), "not 8-bit RGB"
        elif kind == b"IDAT":
            idat += body
    raw, stride, rows, prev = zlib.decompress(idat), width * 3, [], bytearray(width * 3)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for x in range(stride):
            a, b, c = line[x - 3] if x >= 3 else 0, prev[x], prev[x - 3] if x >= 3 else 0
            p = a + b - c
            guess = [0, a, b, (a + b) // 2,
                     a if abs(p - a) <= min(abs(p - b), abs(p - c)) else b if abs(p - b) <= abs(p - c) else c]
            line[x] = (line[x] + guess[kind]) & 255
        rows.append(bytes(line))
        prev = line
    return rows

# The device's visible rows 1 to 419 (its top row lies under the status panels) on the screen at
# (10, 30); the views cover (1, 1) to (308, 208) and (311, 211) to (618, 418).
lines = {(x, y) for y in range(1, 420) for x in (0, 309, 310, 619)}
lines |= {(x, y) for x in range(620) for y in (209, 210, 419)}

def lit(tick):
    rows = read_png(f"{sys.argv[1]}/tick-{tick}.png")
    return sum(1 for x, y in lines if rows[30 + y][3 * (10 + x):3 * (10 + x) + 3] != b"\0\0\0")

start1, won, start2 = (lit(tick) for tick in sys.argv[2:5])
print(f"{len(lines)} pixels between and around the views; lit: {start1} at the first battle's "
      f"start, {won} under its winner's view, {start2} at the second battle's start")
if won < len(lines) // 4:
    sys.exit("FAIL: the winner's view did not cover the lines between the views")
if start1 or start2:
    sys.exit("FAIL: a battle starts with lit pixels between the views")
PY
echo "battle black device: ok"
