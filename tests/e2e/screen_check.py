"""Checks a screenshot of the game's window against the fixed layout of the 640 x 480 screen.

Usage:
  screen_check.py SHOT.xwd selection STAGE [stage-row] P:T [P:T ...]
                                                           the selection screen: the stage frame
                                                           around STAGE only, player P's frame
                                                           around tank type T; with stage-row,
                                                           player 0's marker under the stage
  screen_check.py SHOT.xwd battle [full|shells-spent P ...]
                                                           the battle: four white status panels,
                                                           the four views on the black device
                                                           background; the listed players'
                                                           magazines are full, or short after
                                                           firing
  screen_check.py SHOT.xwd replay                          a replay being watched: the status
                                                           panels, and the replay's news in
                                                           dark text at the end of panel 1
  screen_check.py SHOT.xwd notice LINES [OTHER.xwd]        the room's notice of LINES lines over
                                                           the screen; with OTHER, its words are
                                                           not OTHER's
  screen_check.py SHOT.xwd box warning|error               the game's message box over the
                                                           middle of the screen, its icon the
                                                           warning's or the error's
  screen_check.py SHOT.xwd png OUT.png                     writes the screenshot as a PNG
  screen_check.py SHOT.xwd crop X Y W H OUT.png            writes the W x H rectangle at X, Y
                                                           as a PNG (a window of the shot)
  screen_check.py SHOT.xwd differs OTHER.xwd VIEW ...      the listed views (0..3) changed
  screen_check.py SHOT.xwd whole K                         SHOT (of the window alone) is the
                                                           screen enlarged K times, pixel for
                                                           pixel: every K x K block one colour
  screen_check.py SHOT.xwd sharp WINDOW.xwd                SHOT is the screen that WINDOW.xwd
                                                           shows whole (above) scaled "sharp
                                                           bilinear": enlarged pixel for pixel
                                                           by the largest whole factor, then
                                                           filtered for the remaining fraction

SHOT.xwd is `xwd -root` output (24 or 32 bits per pixel, as Xvfb at depth 24 writes it), a
screenshot of the headless runner (`--shot`: a 640 x 480 RGB PNG), or one of a Wayland
compositor's output (an RGBA PNG, its alpha ignored). The game
scales its 640 x 480 screen to the window keeping 4:3, filtering what a whole factor leaves,
after rendering it in RGB565: every sample is therefore taken at the centre of a band at least
two screen pixels wide, and compared with a tolerance that covers both the quantization and the
filter's blend of neighbouring lines of the same band. Exits 1 with one line per failed sample.
"""
import math
import struct
import sys
import zlib

TOLERANCE = 8
# Each player's colour (src/core/player_colours.h).
PLAYER_COLOUR = {0: (213, 94, 0), 1: (0, 114, 178), 2: (240, 228, 66), 3: (86, 180, 233)}
PANELS = [(10, 10), (320, 10), (10, 450), (320, 450)]
DEVICE = (10, 30)
VIEWS = [(1, 1), (311, 1), (1, 211), (311, 211)]
VIEW_SIZE = (308, 208)


PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    return a if pa <= pb and pa <= pc else (b if pb <= pc else c)


def read_png_rgb(data, path):
    """The rows of an 8-bit RGB PNG without interlacing, as the runner writes it, or of an RGBA
    one, as Weston's screenshooter writes it. Its alpha is left out: the output is opaque, and
    where a window's buffer has no alpha (XRGB) the byte is whatever the buffer held."""
    at, idat = len(PNG_SIGNATURE), b""
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            if depth != 8 or colour not in (2, 6) or interlace != 0:
                raise SystemExit(f"FAIL: {path}: not an 8-bit RGB or RGBA PNG without interlacing")
            size = 3 if colour == 2 else 4
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    raw, stride, rows, previous = zlib.decompress(idat), width * size, [], bytearray(width * size)
    for y in range(height):
        kind, row = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            left = row[i - size] if i >= size else 0
            up, up_left = previous[i], (previous[i - size] if i >= size else 0)
            row[i] = (row[i] + (0, left, up, (left + up) // 2, paeth(left, up, up_left))[kind]) & 255
        previous = row
        if size == 4:
            row = bytearray(b for i, b in enumerate(row) if i % 4 != 3)
        rows.append(row)
    return width, height, rows


class Shot:
    def __init__(self, path):
        data = open(path, "rb").read()
        if data.startswith(PNG_SIGNATURE):
            self.init_png(data, path)
            return
        h = struct.unpack(">25I", data[:100])
        header_size, pixmap_format, self.width, self.height = h[0], h[2], h[4], h[5]
        byte_order, bits_per_pixel, self.stride = h[7], h[11], h[12]
        if pixmap_format != 2 or bits_per_pixel not in (24, 32):
            raise SystemExit(f"FAIL: {path}: unexpected xwd format {pixmap_format}/{bits_per_pixel}")
        self.bytes_per_pixel = bits_per_pixel // 8
        self.masks = h[14:17]
        self.shifts = [(m & -m).bit_length() - 1 for m in self.masks]
        self.endian = "<" if byte_order == 0 else ">"
        self.data = data
        self.offset = header_size + h[19] * 12
        self.place_screen()

    def place_screen(self):
        """Where the game shows its screen: the largest 4:3 rectangle, centred."""
        shown_w, shown_h = self.width, self.height
        if self.width * 3 > self.height * 4:
            shown_w = self.height * 4 // 3
        else:
            shown_h = self.width * 3 // 4
        self.left = (self.width - shown_w) // 2
        self.top = (self.height - shown_h) // 2
        self.scale_x = shown_w / 640
        self.scale_y = shown_h / 480

    def init_png(self, data, path):
        self.width, self.height, self.rows = read_png_rgb(data, path)
        self.place_screen()

    def value(self, x, y):
        start = self.offset + y * self.stride + x * self.bytes_per_pixel
        raw = self.data[start:start + self.bytes_per_pixel]
        return int.from_bytes(raw, "little" if self.endian == "<" else "big")

    def pixel(self, x, y):
        if hasattr(self, "rows"):
            return tuple(self.rows[y][3 * x:3 * x + 3])
        value = self.value(x, y)
        return tuple((value & m) >> s for m, s in zip(self.masks, self.shifts))

    def at(self, lx, ly):
        """The screen pixel whose filter sample lies nearest to logical point (lx, ly), where
        logical pixel k has its centre at k."""
        x = round((lx + 0.5) * self.scale_x - 0.5) + self.left
        y = round((ly + 0.5) * self.scale_y - 0.5) + self.top
        return self.pixel(min(max(x, 0), self.width - 1), min(max(y, 0), self.height - 1))

    def rgb_rows(self):
        for y in range(self.height):
            out = bytearray(self.width * 3)
            for x in range(self.width):
                out[3 * x:3 * x + 3] = bytes(self.pixel(x, y))
            yield bytes(out)


def write_png(shot, path):
    raw = b"".join(b"\0" + row for row in shot.rgb_rows())

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    header = struct.pack(">IIBBBBB", shot.width, shot.height, 8, 2, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 6)) +
                  chunk(b"IEND", b""))


class Crop:
    """A rectangle of a shot, written out like a whole one."""

    def __init__(self, shot, x, y, width, height):
        self.shot, self.x, self.y, self.width, self.height = shot, x, y, width, height

    def pixel(self, x, y):
        return self.shot.pixel(self.x + x, self.y + y)

    rgb_rows = Shot.rgb_rows


class Checker:
    def __init__(self, shot):
        self.shot = shot
        self.failures = []

    def between(self, what, lx, ly, a, b):
        """The sample lies channel by channel between colours a and b, give or take TOLERANCE."""
        got = self.shot.at(lx, ly)
        ok = all(min(p, q) - TOLERANCE <= g <= max(p, q) + TOLERANCE for g, p, q in zip(got, a, b))
        if not ok:
            self.failures.append(f"{what} at ({lx}, {ly}): {got}, want between {a} and {b}")

    def near(self, what, lx, ly, colour):
        self.between(what, lx, ly, colour, colour)

    def not_pure(self, what, lx, ly, hue):
        """The sample is not a strong pure colour of the given hue (channels 1 = on, 0 = off)."""
        got = self.shot.at(lx, ly)
        pure = all((g >= 120) if on else (g <= 40) for g, on in zip(got, hue))
        if pure:
            self.failures.append(f"{what} at ({lx}, {ly}): {got} looks like a frame")


def check_selection(c, stage, players, stage_row):
    # The stage frame: four lines darkening inwards, 255, 225, 195, 165; sampled between the
    # second and third line on each side.
    x0, x1, y0, y1 = 70 + 100 * stage, 169 + 100 * stage, 365, 464
    if stage_row:
        # Player 0's marker, 5 pixels in and 440 down: the arrow's shaft, columns 3 to 6 and
        # rows 9 to 17 of the marker.
        c.near(f"player 0's marker under stage {stage}", x0 + 5 + 4.5, 440 + 13, PLAYER_COLOUR[0])
    for name, lx, ly in (("left", x0 + 1.5, 415), ("right", x1 - 1.5, 415),
                         ("top", x0 + 50, y0 + 1.5), ("bottom", x0 + 50, y1 - 1.5)):
        c.between(f"stage {stage} frame, {name}", lx, ly, (165, 0, 0), (255, 0, 0))
    for other in range(5):
        if other != stage:
            c.not_pure(f"stage {other} (not chosen), left edge", 70 + 100 * other + 1.5, 415, (1, 0, 0))
    # A joined player's frame, alone on its tile: a dark line, two lines of the player's colour
    # and a light one around the tank icon; sampled between the two coloured lines.
    for p, t in players:
        x0, x1, y0, y1 = 45 + 50 * t, 94 + 50 * t, 250, 299
        for name, lx, ly in (("left", x0 + 1.5, 275), ("right", x1 - 1.5, 275),
                             ("top", x0 + 25, y0 + 1.5), ("bottom", x0 + 25, y1 - 1.5)):
            c.near(f"player {p} frame around tank type {t}, {name}", lx, ly, PLAYER_COLOUR[p])
    framed = {t for _, t in players}
    for t in range(11):
        if t not in framed:
            for p in range(4):
                hue = tuple(1 if v >= 120 else 0 for v in PLAYER_COLOUR[p])
                c.not_pure(f"tank type {t} (nobody's), left edge", 45 + 50 * t + 0.5, 275, hue)


def check_battle(c, full, spent):
    white = (255, 255, 255)
    for p, (px, py) in enumerate(PANELS):
        for dx, dy in ((230, 4), (260, 10), (300, 17)):
            c.near(f"panel {p} background", px + dx, py + dy, white)
        # The shell bar's middle row near its right end: the value (200, 200, 255) between
        # (150, 150, 255) rows while the magazine is full, the background (190, 0, 0) between
        # (220, 0, 0) rows once shots have left.
        if p in full:
            c.between(f"panel {p} shell bar (full)", px + 196, py + 14, (150, 150, 255), (200, 200, 255))
        if p in spent:
            c.between(f"panel {p} shell bar (after firing)", px + 196, py + 14, (190, 0, 0), (220, 0, 0))
    # The views leave the device's black background between them: columns 309 and 310 and
    # rows 209 and 210 of the device.
    dx, dy = DEVICE
    black = (0, 0, 0)
    for ly in (40, 100, 180, 260, 330, 410):
        c.near("black column between the views", dx + 309.5, dy + ly, black)
    for lx in (40, 150, 280, 350, 480, 600):
        c.near("black row between the views", dx + lx, dy + 209.5, black)
    # Every view shows the scene: most of a grid of samples is not black.
    for v, (vx, vy) in enumerate(VIEWS):
        samples = [c.shot.at(dx + vx + 20 + 67 * i, dy + vy + 20 + 42 * j) for i in range(5) for j in range(5)]
        lit = sum(1 for s in samples if sum(s) > 60)
        if lit < 15:
            c.failures.append(f"view {v} is mostly black ({lit} of 25 samples lit)")


BOX_TITLE_BAR = (0, 0, 128)
BOX_FACE = (212, 208, 200)
BOX_ICON = {"warning": (250, 200, 0), "error": (200, 0, 0)}


def close_to(got, colour):
    return all(abs(g - c) <= TOLERANCE for g, c in zip(got, colour))


def check_box(c, kind):
    """The box is centred on the screen: its title bar (rows 1 to 20 of the box) crosses the
    centre column, the row 6 below the bar is the box's face from edge to edge, and the icon
    (32 x 32) sits 12 pixels in from the left edge and below the bar."""
    bar = [ly for ly in range(480) if close_to(c.shot.at(320, ly), BOX_TITLE_BAR)]
    if len(bar) < 10:
        c.failures.append("no message box: no title bar across the centre of the screen")
        return
    top = bar[0] - 1
    lx = 320
    while lx > 0 and close_to(c.shot.at(lx - 1, top + 26), BOX_FACE):
        lx -= 1
    left = lx - 1
    c.near(f"{kind} icon of the box at ({left}, {top})", left + 22, top + 60, BOX_ICON[kind])


NOTICE_BACKDROP = (28, 28, 44)


def check_notice(c, lines, other=None):
    """The room's notice (pause, volume, x4) of `lines` lines is centred on the screen, 24 pixels
    a line and 6 above and below: its dark backdrop starts just under its top edge and shows in
    the margin above its first line, and the view, not the backdrop, lies just above it. With
    `other`, a shot of a notice as tall, its words are others: a grid of samples over its lines
    differs."""
    top = (480 - (24 * lines + 12)) // 2
    if other is not None:
        changed = sum(1 for lx in range(90, 551, 3) for ly in range(top + 6, top + 6 + 24 * lines, 3)
                      if sum(abs(p - q) for p, q in zip(c.shot.at(lx, ly), other.at(lx, ly))) > 60)
        if changed < 20:
            c.failures.append(f"the notice's words are those of the other shot ({changed} samples differ)")
    for lx in (306, 334):
        for ly in (top + 2, top + 4):
            c.near(f"the backdrop of a notice of {lines} lines", lx, ly, NOTICE_BACKDROP)
    if any(close_to(c.shot.at(lx, top - 2), NOTICE_BACKDROP) for lx in range(300, 341, 3)):
        c.failures.append(f"the notice is taller than {lines} lines")


def view_difference(a, b, v):
    dx, dy = DEVICE
    vx, vy = VIEWS[v]
    changed = 0
    for i in range(16):
        for j in range(12):
            lx, ly = dx + vx + 10 + 18 * i, dy + vy + 10 + 16 * j
            if sum(abs(p - q) for p, q in zip(a.at(lx, ly), b.at(lx, ly))) > 30:
                changed += 1
    return changed


def check_whole(c, factor):
    """Returns the 640 x 480 screen (rows of RGB tuples) that the shot shows enlarged."""
    shot = c.shot
    if (shot.width, shot.height) != (640 * factor, 480 * factor):
        c.failures.append(f"the window is {shot.width} x {shot.height}, want {factor} times 640 x 480")
        return None
    rows = list(shot.rgb_rows())
    screen = []
    for y in range(480):
        first = rows[y * factor]
        for k in range(1, factor):
            if rows[y * factor + k] != first:
                c.failures.append(f"screen row {y}: its {factor} window rows differ")
                return None
        pixels = [tuple(first[3 * x * factor:3 * x * factor + 3]) for x in range(640)]
        expected = b"".join(bytes(p) * factor for p in pixels)
        if expected != first:
            c.failures.append(f"screen row {y}: pixels are not repeated {factor} times")
            return None
        screen.append(pixels)
    return screen


def sharp_taps(shown, size):
    """For each output pixel along one axis: the two screen pixels the filter reads and the
    weight of the second, after sliding the sample to the pixel centre except across the last
    output pixel before a neighbour."""
    prescale = max(1, shown // size)
    still = 0.5 - 0.5 / prescale
    taps = []
    for o in range(shown):
        texel = (o + 0.5) / shown * size
        offset = texel - math.floor(texel) - 0.5
        slide = (offset - min(max(offset, -still), still)) * prescale
        position = math.floor(texel) + slide
        first = math.floor(position)
        taps.append((min(max(first, 0), size - 1), min(max(first + 1, 0), size - 1), position - first))
    return taps


def check_sharp(c, screen):
    shot = c.shot
    shown_w, shown_h = round(640 * shot.scale_x), round(480 * shot.scale_y)
    columns, rows = sharp_taps(shown_w, 640), sharp_taps(shown_h, 480)
    worst, where = 0, None
    for oy in range(0, shown_h, 5):
        y0, y1, wy = rows[oy]
        for ox in range(shown_w):
            x0, x1, wx = columns[ox]
            got = shot.pixel(shot.left + ox, shot.top + oy)
            for ch in range(3):
                top = screen[y0][x0][ch] * (1 - wx) + screen[y0][x1][ch] * wx
                bottom = screen[y1][x0][ch] * (1 - wx) + screen[y1][x1][ch] * wx
                error = abs(got[ch] - (top * (1 - wy) + bottom * wy))
                if error > worst:
                    worst, where = error, (ox, oy, got)
    if worst > 3:
        c.failures.append(f"not the sharp-bilinear picture: off by {worst:.1f} at {where}")


def main(argv):
    shot = Shot(argv[1])
    c = Checker(shot)
    what = argv[2]
    if what == "png":
        write_png(shot, argv[3])
        return 0
    if what == "crop":
        x, y, width, height = (int(v) for v in argv[3:7])
        if x < 0 or y < 0 or x + width > shot.width or y + height > shot.height:
            raise SystemExit(f"FAIL: {width}x{height}+{x}+{y} lies outside the shot")
        write_png(Crop(shot, x, y, width, height), argv[7])
        return 0
    if what == "selection":
        players = [tuple(int(v) for v in pt.split(":")) for pt in argv[4:] if pt != "stage-row"]
        check_selection(c, int(argv[3]), players, "stage-row" in argv[4:])
    elif what == "battle":
        players = {int(p) for p in argv[4:]}
        check_battle(c, players if argv[3:4] == ["full"] else set(),
                     players if argv[3:4] == ["shells-spent"] else set())
    elif what == "box":
        check_box(c, argv[3])
    elif what == "notice":
        check_notice(c, int(argv[3]), Shot(argv[4]) if len(argv) > 4 else None)
    elif what == "differs":
        other = Shot(argv[3])
        for v in (int(x) for x in argv[4:]):
            changed = view_difference(shot, other, v)
            if changed < 20:
                c.failures.append(f"view {v} hardly changed ({changed} of 192 samples)")
    elif what == "whole":
        check_whole(c, int(argv[3]))
    elif what == "sharp":
        window = Shot(argv[3])
        factor = window.width // 640
        screen = check_whole(Checker(window), factor)
        if screen is None:
            c.failures.append(f"{argv[3]} does not show the screen whole")
        else:
            check_sharp(c, screen)
    else:
        raise SystemExit(f"unknown check {what}")
    for failure in c.failures:
        print("FAIL: " + failure, file=sys.stderr)
    return 1 if c.failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
