#!/usr/bin/env python3
"""Draw Velmora's binary resources with plain Python (no third-party modules).

Writes, next to this script:
  Velmora.ico  application icon (resource 128): 32x32 and 16x16, 4 bpp
  Add.ico      "add files" icon (resource 129): open folder, 32x32, 8 bpp
  Hand.cur     link-select cursor (resource 130): 32x32, 4 bpp, hot spot (12,1)

Usage:
  python3 draw_images.py                 write the three files and self-check
  python3 draw_images.py --preview DIR   also write enlarged PNG previews to DIR
  python3 draw_images.py --check         only re-read and check existing files

The output is deterministic: the same bytes are produced on every run.
After writing, every file is re-read: header, directory, bitmap headers and
the decoded pixels are compared with what was drawn; any mismatch makes the
script exit with status 1.
"""

import math
import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

T = None  # transparent pixel

# ---------------------------------------------------------------------------
# Palettes (R, G, B)
# ---------------------------------------------------------------------------

# The standard Windows 16-colour (VGA) palette, in the usual index order.
VGA16 = [
    (0x00, 0x00, 0x00),  # 0 black
    (0x80, 0x00, 0x00),  # 1 dark red
    (0x00, 0x80, 0x00),  # 2 dark green
    (0x80, 0x80, 0x00),  # 3 olive
    (0x00, 0x00, 0x80),  # 4 navy
    (0x80, 0x00, 0x80),  # 5 purple
    (0x00, 0x80, 0x80),  # 6 teal
    (0xC0, 0xC0, 0xC0),  # 7 light grey
    (0x80, 0x80, 0x80),  # 8 dark grey
    (0xFF, 0x00, 0x00),  # 9 red
    (0x00, 0xFF, 0x00),  # 10 lime
    (0xFF, 0xFF, 0x00),  # 11 yellow
    (0x00, 0x00, 0xFF),  # 12 blue
    (0xFF, 0x00, 0xFF),  # 13 magenta
    (0x00, 0xFF, 0xFF),  # 14 cyan
    (0xFF, 0xFF, 0xFF),  # 15 white
]
BLACK, DRED, DGRAY, LGRAY, BLUE, NAVY, RED, WHITE = 0, 1, 8, 7, 12, 4, 9, 15

# Folder palette: only the first entries are used, the rest stay zero.
F_OUTLINE, F_BACK, F_BACK_DARK, F_FRONT, F_FRONT_HI, F_PAPER, F_PAPER_LINE = range(7)
FOLDER_COLOURS = [
    (0x5A, 0x3C, 0x00),  # outline, dark brown
    (0xD0, 0x9C, 0x30),  # back panel, golden brown
    (0xA8, 0x78, 0x18),  # inside shadow of the back panel
    (0xFF, 0xD8, 0x58),  # front flap, yellow
    (0xFF, 0xF0, 0xB0),  # front flap highlight
    (0xFF, 0xFF, 0xFF),  # paper
    (0xA0, 0xA0, 0xA0),  # paper text lines / edge
]
FOLDER_PALETTE = FOLDER_COLOURS + [(0, 0, 0)] * (256 - len(FOLDER_COLOURS))


# ---------------------------------------------------------------------------
# Tiny raster helpers.  An image is a list of rows (top row first); each
# pixel is a palette index or T for transparent.
# ---------------------------------------------------------------------------

def blank(w, h):
    return [[T] * w for _ in range(h)]


def mask_of(w, h, pred):
    """Set of (x, y) pixels whose integer coordinates satisfy pred."""
    return {(x, y) for y in range(h) for x in range(w) if pred(x, y)}


def boundary(mask):
    """Pixels of mask that touch (4-neighbourhood) a pixel outside it."""
    out = set()
    for (x, y) in mask:
        for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
            if (x + dx, y + dy) not in mask:
                out.add((x, y))
                break
    return out


def paint(img, pixels, colour):
    for (x, y) in pixels:
        if 0 <= y < len(img) and 0 <= x < len(img[0]):
            img[y][x] = colour


def line(img, x0, y0, x1, y1, colour):
    """Bresenham line, both end points included."""
    dx, dy = abs(x1 - x0), -abs(y1 - y0)
    sx = 1 if x0 < x1 else -1
    sy = 1 if y0 < y1 else -1
    err = dx + dy
    while True:
        paint(img, [(x0, y0)], colour)
        if x0 == x1 and y0 == y1:
            return
        e2 = 2 * err
        if e2 >= dy:
            err += dy
            x0 += sx
        if e2 <= dx:
            err += dx
            y0 += sy


def inside_polygon(px, py, pts):
    """Even-odd test of the point (px, py) against a polygon."""
    inside = False
    n = len(pts)
    for i in range(n):
        x0, y0 = pts[i]
        x1, y1 = pts[(i + 1) % n]
        if (y0 > py) != (y1 > py):
            xc = x0 + (py - y0) * (x1 - x0) / (y1 - y0)
            if px < xc:
                inside = not inside
    return inside


def polygon_mask(w, h, pts):
    """Pixels whose centres lie inside the polygon (continuous coordinates)."""
    return mask_of(w, h, lambda x, y: inside_polygon(x + 0.5, y + 0.5, pts))


def from_art(art, legend):
    rows = [r for r in art.strip("\n").split("\n")]
    return [[legend[c] for c in r] for r in rows]


# ---------------------------------------------------------------------------
# Velmora.ico: sheet of paper with two clocks
# ---------------------------------------------------------------------------

def draw_clock(img, cx, cy, r, rim, rim_width, hands, ticks):
    w, h = len(img[0]), len(img)
    disc = mask_of(w, h, lambda x, y: math.hypot(x - cx, y - cy) <= r)
    face = mask_of(w, h, lambda x, y: math.hypot(x - cx, y - cy) <= r - rim_width)
    paint(img, disc, rim)
    paint(img, face, WHITE)
    for (tx, ty) in ticks:
        paint(img, [(cx + tx, cy + ty)], DGRAY)
    for (hx, hy) in hands:
        line(img, cx, cy, cx + hx, cy + hy, BLACK)


def draw_velmora(size):
    img = blank(size, size)
    if size == 32:
        left, top, right, bottom, fold = 3, 0, 28, 31, 7
    else:
        left, top, right, bottom, fold = 1, 0, 14, 15, 4
    cut = (right - fold) - top  # pixels with x - y > cut are cut away

    page = mask_of(size, size, lambda x, y: left <= x <= right and top <= y <= bottom
                   and x - y <= cut)
    paint(img, page, WHITE)
    paint(img, boundary(page), BLACK)

    # The folded-down corner: a grey triangle under the cut edge.
    flap = mask_of(size, size, lambda x, y: x >= right - fold and y <= top + fold
                   and x - y <= cut)
    paint(img, flap, LGRAY)
    paint(img, boundary(flap) | {p for p in flap if p[0] - p[1] == cut}, BLACK)

    if size == 32:
        # A few grey "text" lines in the free corners of the page.
        for y in (10, 12, 14):
            line(img, 17, y, 25, y, DGRAY)
        for y in (18, 20, 22, 24, 26, 28):
            line(img, 6, y, 13 if y < 28 else 12, y, DGRAY)
        q = [(0, -4), (4, 0), (0, 4), (-4, 0)]
        # Upper-left clock, blue: three o'clock.
        draw_clock(img, 9, 9, 5.5, BLUE, 1.2, [(0, -3), (2, 0)], q)
        # Lower-right clock, red: half past nine.
        draw_clock(img, 21, 22, 5.5, RED, 1.2, [(0, 3), (-2, 0)], q)
    else:
        draw_clock(img, 5, 5, 3.3, BLUE, 1.0, [(0, -2), (1, 0)], [])
        draw_clock(img, 10, 11, 3.3, RED, 1.0, [(0, 2), (-1, 0)], [])
    return img


# ---------------------------------------------------------------------------
# Add.ico: open folder
# ---------------------------------------------------------------------------

def draw_folder():
    n = 32
    img = blank(n, n)
    # Back panel with the tab on its upper-left edge.
    back = polygon_mask(n, n, [(1, 6), (3, 4), (10, 4), (12, 6), (26, 6),
                               (26, 29), (1, 29)])
    paint(img, back, F_BACK)
    paint(img, boundary(back), F_OUTLINE)
    # Shadowed inside of the panel, seen through the opening.
    inner = mask_of(n, n, lambda x, y: 2 <= x <= 24 and 8 <= y <= 14)
    paint(img, inner, F_BACK_DARK)
    # A sheet of paper standing in the folder.
    paper = mask_of(n, n, lambda x, y: 6 <= x <= 22 and 2 <= y <= 16)
    paint(img, paper, F_PAPER)
    paint(img, boundary(paper), F_PAPER_LINE)
    for y in (5, 7, 9, 11):
        line(img, 9, y, 19, y, F_PAPER_LINE)
    # Front flap, leaning forward (its top edge is shifted to the right).
    front_pts = [(8, 13), (31, 13), (25, 29), (1, 29)]
    front = polygon_mask(n, n, front_pts)
    paint(img, front, F_FRONT)
    # Highlight just below the top edge and along the left edge.
    hi = {(x, y) for (x, y) in front
          if (x, y - 1) in front and (x, y - 2) not in front}
    hi |= {(x, y) for (x, y) in front
           if (x - 1, y) in front and (x - 2, y) not in front and y < 27}
    paint(img, hi, F_FRONT_HI)
    paint(img, boundary(front), F_OUTLINE)
    return img


# ---------------------------------------------------------------------------
# Hand.cur: pointing hand, fingertip at (12, 1)
# ---------------------------------------------------------------------------

HAND_HOTSPOT = (12, 1)
HAND_ART = """
................................
...........XXX..................
..........XooAX.................
..........XooAX.................
..........XooAX.................
..........XooAX.................
..........XooAXXXX..............
..........XooAXooAX.............
..........XooAXooAXXXX..........
..........XooAXooAXooAX.........
..........XooAXooAXooAXXX.......
..........XooAXooAXooAXoAX......
....XXX...XooAXooAXooAXoAX......
...XoooX..XoooooooooooooAX......
...XooooX.XoooooooooooooAX......
....XooooXXoooooooooooooAX......
.....XooooooooooooooooooAX......
......XoooooooooooooooooAX......
.......XooooooooooooooooAX......
........XoooooooooooooooAX......
.........XooooooooooooooAX......
.........XoooooooooooooAAX......
..........XoooooooooooAAX.......
..........XAAAAAAAAAAAAAX.......
..........XXXXXXXXXXXXXXX.......
................................
................................
................................
................................
................................
................................
................................
"""


def draw_hand():
    # Black outline, white fill, light grey shade on the right of each finger and the palm.
    return from_art(HAND_ART, {".": T, "X": BLACK, "o": WHITE, "A": LGRAY})


# ---------------------------------------------------------------------------
# ICO / CUR encoding
# ---------------------------------------------------------------------------

def row_bytes(width, bpp):
    return ((width * bpp + 31) // 32) * 4


def pack_row(values, bpp, width):
    out = bytearray(row_bytes(width, bpp))
    per_byte = 8 // bpp
    for x, v in enumerate(values):
        shift = 8 - bpp * (x % per_byte + 1)
        out[x // per_byte] |= (v & ((1 << bpp) - 1)) << shift
    return bytes(out)


def encode_image(img, bpp, palette):
    """BITMAPINFOHEADER + palette + XOR bitmap + AND mask (bottom-up)."""
    h, w = len(img), len(img[0])
    assert len(palette) == 1 << bpp
    xor = b"".join(pack_row([0 if p is T else p for p in img[y]], bpp, w)
                   for y in reversed(range(h)))
    andm = b"".join(pack_row([1 if p is T else 0 for p in img[y]], 1, w)
                    for y in reversed(range(h)))
    header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, bpp, 0,
                         len(xor) + len(andm), 0, 0, 0, 0)
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    return header + pal + xor + andm


def build_file(kind, entries):
    """kind 1 = icon, 2 = cursor.  entries: (img, bpp, palette, hotspot)."""
    blobs = [encode_image(img, bpp, pal) for (img, bpp, pal, _) in entries]
    out = struct.pack("<HHH", 0, kind, len(entries))
    offset = 6 + 16 * len(entries)
    for (img, bpp, pal, hot), blob in zip(entries, blobs):
        h, w = len(img), len(img[0])
        colours = (1 << bpp) if bpp < 8 else 0
        if kind == 1:
            f1, f2 = 1, bpp
        else:
            f1, f2 = hot
        out += struct.pack("<BBBBHHII", w & 0xFF, h & 0xFF, colours, 0,
                           f1, f2, len(blob), offset)
        offset += len(blob)
    return out + b"".join(blobs)


# ---------------------------------------------------------------------------
# Self-check: parse the files back and compare with what was drawn
# ---------------------------------------------------------------------------

class CheckError(Exception):
    pass


def expect(cond, msg):
    if not cond:
        raise CheckError(msg)


def decode_file(data):
    """Return (kind, [(dir_fields, bpp, palette, pixels)])."""
    expect(len(data) >= 6, "file too short")
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    expect(reserved == 0, "reserved header word is %d" % reserved)
    expect(kind in (1, 2), "bad type %d" % kind)
    expect(len(data) >= 6 + 16 * count, "directory truncated")
    images = []
    end = 6 + 16 * count
    for i in range(count):
        w, h, colours, res, f1, f2, size, off = struct.unpack_from(
            "<BBBBHHII", data, 6 + 16 * i)
        expect(res == 0, "entry %d: reserved byte %d" % (i, res))
        expect(off == end, "entry %d: offset %d, expected %d" % (i, off, end))
        expect(off + size <= len(data), "entry %d runs past end of file" % i)
        end = off + size
        (bi_size, bw, bh, planes, bpp, comp, img_size, _, _, clr_used,
         _) = struct.unpack_from("<IiiHHIIiiII", data, off)
        w, h = w or 256, h or 256
        expect(bi_size == 40, "entry %d: biSize %d" % (i, bi_size))
        expect((bw, bh) == (w, 2 * h), "entry %d: bitmap %dx%d vs entry %dx%d"
               % (i, bw, bh, w, h))
        expect(planes == 1 and comp == 0, "entry %d: planes/compression" % i)
        expect(bpp in (1, 4, 8), "entry %d: bit depth %d" % (i, bpp))
        expect(clr_used == 0, "entry %d: biClrUsed %d" % (i, clr_used))
        ncol = 1 << bpp
        expect(colours == (ncol if bpp < 8 else 0),
               "entry %d: colour count %d" % (i, colours))
        if kind == 1:
            expect((f1, f2) == (1, bpp), "entry %d: planes/bitcount %d/%d"
                   % (i, f1, f2))
        xor_len = row_bytes(w, bpp) * h
        and_len = row_bytes(w, 1) * h
        expect(img_size == xor_len + and_len, "entry %d: biSizeImage" % i)
        expect(size == 40 + 4 * ncol + xor_len + and_len,
               "entry %d: size %d" % (i, size))
        p = off + 40
        palette = []
        for c in range(ncol):
            b, g, r, z = struct.unpack_from("<BBBB", data, p + 4 * c)
            expect(z == 0, "entry %d: palette reserved byte" % i)
            palette.append((r, g, b))
        p += 4 * ncol
        pixels = blank(w, h)
        for row in range(h):
            y = h - 1 - row
            xr = data[p + row * row_bytes(w, bpp):]
            ar = data[p + xor_len + row * row_bytes(w, 1):]
            for x in range(w):
                bit = (ar[x // 8] >> (7 - x % 8)) & 1
                per = 8 // bpp
                v = (xr[x // per] >> (8 - bpp * (x % per + 1))) & (ncol - 1)
                if bit:
                    expect(v == 0, "entry %d: transparent pixel (%d,%d) has "
                           "non-zero colour (would invert the screen)" % (i, x, y))
                    pixels[y][x] = T
                else:
                    pixels[y][x] = v
        images.append(((w, h, colours, f1, f2, size, off), bpp, palette, pixels))
    expect(end == len(data), "%d trailing bytes" % (len(data) - end))
    return kind, images


def check_file(path, kind, want):
    """want: list of (img, bpp, palette, hotspot) as drawn."""
    with open(path, "rb") as f:
        data = f.read()
    got_kind, images = decode_file(data)
    name = os.path.basename(path)
    expect(got_kind == kind, "%s: type %d, expected %d" % (name, got_kind, kind))
    expect(len(images) == len(want), "%s: %d images, expected %d"
           % (name, len(images), len(want)))
    for (fields, bpp, pal, pixels), (img, wbpp, wpal, hot) in zip(images, want):
        w, h = fields[0], fields[1]
        expect((w, h) == (len(img[0]), len(img)), "%s: size %dx%d" % (name, w, h))
        expect(bpp == wbpp, "%s: %d bpp, expected %d" % (name, bpp, wbpp))
        expect(pal == list(wpal), "%s: palette differs" % name)
        expect(pixels == img, "%s: %dx%d pixels differ from drawing" % (name, w, h))
        if kind == 2:
            expect((fields[3], fields[4]) == hot, "%s: hot spot %r, expected %r"
                   % (name, (fields[3], fields[4]), hot))
    return data


def check_drawings(velmora32, velmora16, folder, hand):
    """Sanity checks on the pictures themselves."""
    for img in (velmora32, velmora16, folder, hand):
        opaque = sum(p is not T for row in img for p in row)
        expect(0.25 * len(img) ** 2 < opaque < len(img) ** 2,
               "image is (nearly) empty or has no transparency")
    for img in (velmora32, velmora16):
        colours = {p for row in img for p in row}
        expect({BLUE, RED, WHITE, BLACK} <= colours, "clock/page colours missing")
        right = max(x for x, p in enumerate(img[-1]) if p is not T)
        expect(img[0][right] is T and img[-1][right] == BLACK,
               "folded corner should be cut away from the page")
    hx, hy = HAND_HOTSPOT
    expect(len(hand) == 32 and all(len(r) == 32 for r in hand), "hand not 32x32")
    expect({p for row in hand for p in row} == {T, BLACK, WHITE, LGRAY},
           "hand is not black, white and grey")
    expect(hand[hy][hx] == BLACK, "hot spot pixel is not the black fingertip outline")
    expect(all(p is T for r in hand[:hy] for p in r), "pixels above the fingertip")
    top = [x for x in range(32) if hand[hy][x] is not T]
    expect(min(top) + max(top) == 2 * hx and max(top) - min(top) <= 2,
           "fingertip row not centred on the hot spot")


# ---------------------------------------------------------------------------
# PNG previews (enlarged, transparent shown as a checkerboard)
# ---------------------------------------------------------------------------

def write_png(path, rgb_rows):
    h, w = len(rgb_rows), len(rgb_rows[0])
    raw = b"".join(b"\x00" + bytes(c for px in row for c in px) for row in rgb_rows)

    def chunk(tag, body):
        return (struct.pack(">I", len(body)) + tag + body
                + struct.pack(">I", zlib.crc32(tag + body) & 0xFFFFFFFF))

    png = (b"\x89PNG\r\n\x1a\n"
           + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0))
           + chunk(b"IDAT", zlib.compress(raw, 9))
           + chunk(b"IEND", b""))
    with open(path, "wb") as f:
        f.write(png)


def preview_rows(img, palette, scale, grid):
    rows = []
    for y in range(len(img) * scale):
        row = []
        for x in range(len(img[0]) * scale):
            p = img[y // scale][x // scale]
            if grid and scale >= 6 and (x % scale == 0 or y % scale == 0):
                row.append((0x90, 0x90, 0xA0) if p is T else
                           tuple(max(0, c - 24) for c in palette[p]))
            elif p is T:
                cb = ((x // scale) + (y // scale)) % 2
                row.append((0xE8, 0xE8, 0xF0) if cb else (0xC8, 0xC8, 0xD8))
            else:
                row.append(palette[p])
        rows.append(row)
    return rows


def write_previews(outdir, items):
    os.makedirs(outdir, exist_ok=True)
    # Big views, with a pixel grid.
    for name, img, pal in items:
        scale = 320 // len(img)
        write_png(os.path.join(outdir, name + ".png"),
                  preview_rows(img, pal, scale, True))
    # Actual size and 2x on a desktop-like background, side by side.
    bg = (0x00, 0x80, 0x80)
    strip_h = 2 * 32 + 8
    strip = [[bg] * 8 for _ in range(strip_h)]
    for name, img, pal in items:
        for scale in (1, 2):
            n = len(img) * scale
            for y in range(strip_h):
                for x in range(n):
                    py, px = (y - 4) // scale, x // scale
                    if 0 <= y - 4 < n and img[py][px] is not T:
                        strip[y].append(pal[img[py][px]])
                    else:
                        strip[y].append(bg)
                strip[y].extend([bg] * 8)
    write_png(os.path.join(outdir, "all_actual_size.png"), strip)


# ---------------------------------------------------------------------------

def main(argv):
    preview_dir = None
    check_only = False
    args = list(argv)
    while args:
        a = args.pop(0)
        if a == "--preview" and args:
            preview_dir = args.pop(0)
        elif a == "--check":
            check_only = True
        else:
            sys.stderr.write(__doc__)
            return 2

    v32, v16 = draw_velmora(32), draw_velmora(16)
    folder = draw_folder()
    hand = draw_hand()
    files = [
        ("Velmora.ico", 1, [(v32, 4, VGA16, None), (v16, 4, VGA16, None)]),
        ("Add.ico", 1, [(folder, 8, FOLDER_PALETTE, None)]),
        ("Hand.cur", 2, [(hand, 4, VGA16, HAND_HOTSPOT)]),
    ]
    try:
        check_drawings(v32, v16, folder, hand)
        for name, kind, entries in files:
            path = os.path.join(HERE, name)
            if not check_only:
                data = build_file(kind, entries)
                with open(path, "wb") as f:
                    f.write(data)
            data = check_file(path, kind, entries)
            print("%-12s %5d bytes  OK" % (name, len(data)))
    except (CheckError, OSError) as e:
        print("self-check FAILED: %s" % e, file=sys.stderr)
        return 1

    if preview_dir:
        write_previews(preview_dir, [
            ("velmora32", v32, VGA16), ("velmora16", v16, VGA16),
            ("add_folder", folder, FOLDER_PALETTE), ("hand_cursor", hand, VGA16)])
        print("previews written to %s" % preview_dir)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
