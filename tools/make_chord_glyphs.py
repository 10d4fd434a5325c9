#!/usr/bin/env python3
"""Writes the chord glyphs of the built-in font "Default" as SVG files.

Every glyph is drawn from a small stroke alphabet: each character is a list of centre lines (polylines
and arcs) on a grid whose capitals stand 10 units tall with the baseline at 0 (y up). A text is laid out
character by character, scaled to the glyph's size and every centre line is stroked with round caps
and round joins: each segment becomes a filled quadrilateral, each end a half disc and each turn the
circular wedge that fills the outer side of the turn. The pieces only meet edge to edge on the outline
(they overlap inside the stroke), so the filled shape has no notch where they join. All pieces turn
the same way, so they fill as one shape under the non-zero rule. The result is written as path data
with commands M, L, C and Z, points as "x,y" with y growing downward.

A root with an accidental sets the accidental as a small raised sign whose lowest ink stays above the
tallest quality or tension glyph standing on the root's line: the typesetter tucks those under the
accidental by a fixed margin, so the sign must clear them.

Usage: tools/make_chord_glyphs.py [output folder]   (default: resources/ beside this folder)
"""

import math
import os
import sys

SHARP = "#"
FLAT = "b"
DELTA = "^"
CIRCLE = "o"
HALF_DIM = "%"


def arc(cx, cy, rx, ry, start, end, steps=None):
    """Points of an elliptic arc from start to end (degrees, counter-clockwise in y-up terms)."""
    # At most 6 degrees a step: with round joins the outline then reads as a smooth curve.
    steps = max(steps or 0, 4, int(math.ceil(abs(end - start) / 6)))
    pts = []
    for i in range(steps + 1):
        a = math.radians(start + (end - start) * i / steps)
        pts.append((cx + rx * math.cos(a), cy + ry * math.sin(a)))
    return pts


# Each character: (advance, [polyline, ...]); a polyline is a list of (x, y) in y-up units.
def alphabet():
    g = {}
    g["A"] = (8.6, [[(0.3, 0), (4.3, 10), (8.3, 0)], [(1.9, 3.6), (6.7, 3.6)]])
    g["B"] = (7.4, [[(4.2, 5.4), (0.6, 5.4), (0.6, 10), (4.0, 10)] + arc(4.0, 7.7, 2.4, 2.3, 90, -90)[1:],
                    [(4.2, 5.4)] + arc(4.3, 2.7, 2.8, 2.7, 90, -90)[1:] + [(0.6, 0), (0.6, 5.4)]])
    g["C"] = (8.8, [arc(4.8, 5, 4.4, 5, 45, 315, 24)])
    g["D"] = (8.6, [[(0.6, 0), (0.6, 10), (3.4, 10)] + arc(3.4, 5, 4.6, 5, 90, -90, 20)[1:] + [(0.6, 0)]])
    g["E"] = (7.2, [[(6.8, 10), (0.6, 10), (0.6, 0), (6.8, 0)], [(0.6, 5.2), (5.8, 5.2)]])
    g["F"] = (7.0, [[(6.8, 10), (0.6, 10), (0.6, 0)], [(0.6, 5.2), (5.8, 5.2)]])
    g["G"] = (9.2, [arc(4.8, 5, 4.4, 5, 45, 360, 26) + [(9.2, 0.6)], [(9.2, 4.6), (5.4, 4.6)]])
    # Accidentals, drawn full height; roots set them smaller and raised.
    g[SHARP] = (7.0, [[(2.2, -1), (2.2, 10)], [(4.8, 0), (4.8, 11)], [(0.2, 2.6), (6.8, 4.0)],
                      [(0.2, 6.4), (6.8, 7.8)]])
    g[FLAT] = (5.0, [[(0.6, 11), (0.6, 0)] + [(3.4, 2.6)] + arc(2.3, 4.0, 1.6, 1.4, 0, 150, 8)
                     + [(0.6, 3.4)]])
    g["1"] = (4.6, [[(0.6, 7.8), (3.0, 10), (3.0, 0)]])
    g["2"] = (6.6, [arc(3.2, 7.2, 2.8, 2.8, 160, -20, 14) + [(0.4, 0), (6.2, 0)]])
    g["3"] = (6.4, [arc(3.0, 7.5, 2.6, 2.5, 160, -90, 16) + arc(3.0, 2.8, 3.0, 2.8, 90, -160, 16)[1:]])
    g["4"] = (6.8, [[(4.8, 0), (4.8, 10), (0.2, 3.0), (6.6, 3.0)]])
    g["5"] = (6.4, [[(6.0, 10), (1.2, 10), (0.7, 5.6)] + arc(3.1, 3.2, 3.0, 3.1, 125, -150, 18)[1:]])
    g["6"] = (6.6, [arc(3.4, 6.8, 2.8, 3.2, 60, 180, 8) + arc(3.3, 3.0, 3.0, 3.0, 180, 540, 28)[1:]])
    g["7"] = (6.4, [[(0.2, 10), (6.2, 10), (2.4, 0)]])
    g["8"] = (6.4, [arc(3.2, 7.6, 2.5, 2.4, -90, 270, 24), arc(3.2, 2.7, 2.9, 2.7, 90, 450, 26)])
    g["9"] = (6.6, [arc(3.3, 7.0, 3.0, 3.0, 0, 360, 28), [(6.3, 7.0)] + arc(3.3, 3.0, 3.0, 3.0, 0, -150, 12)])
    g["0"] = (6.6, [arc(3.3, 5.0, 3.0, 5.0, 0, 360, 30)])
    g["+"] = (6.6, [[(0.4, 4.0), (6.2, 4.0)], [(3.3, 1.1), (3.3, 6.9)]])
    g["-"] = (5.6, [[(0.4, 4.0), (5.2, 4.0)]])
    g["("] = (3.6, [arc(5.6, 4.0, 4.4, 7.0, 120, 240, 14)])
    g[")"] = (3.6, [arc(-2.0, 4.0, 4.4, 7.0, 60, -60, 14)])
    g["/"] = (6.0, [[(0.4, -1.0), (5.6, 11.0)]])
    g[DELTA] = (7.8, [[(0.4, 0), (7.4, 0), (3.9, 7.4), (0.4, 0)]])
    g[CIRCLE] = (6.4, [arc(3.2, 3.6, 2.8, 2.8, 0, 360, 28)])
    g[HALF_DIM] = (7.4, [arc(3.7, 3.6, 2.8, 2.8, 0, 360, 28), [(0.4, -0.6), (7.0, 7.8)]])
    # Lower-case letters: x-height 7.
    g["m"] = (9.6, [[(0.6, 0), (0.6, 7)], [(0.6, 4.6)] + arc(2.8, 4.8, 2.2, 2.2, 180, 0, 10) + [(5.0, 0)],
                    [(5.0, 4.8)] + arc(7.2, 4.8, 2.2, 2.2, 180, 0, 10) + [(9.4, 0)]])
    g["a"] = (6.8, [arc(3.0, 3.5, 2.8, 3.3, 0, 360, 28), [(5.8, 7), (5.8, 0)]])
    g["d"] = (6.8, [arc(3.0, 3.5, 2.8, 3.3, 0, 360, 28), [(5.8, 10.4), (5.8, 0)]])
    g["g"] = (6.8, [arc(3.0, 3.8, 2.8, 3.2, 0, 360, 28), [(5.8, 7)] + arc(3.2, -0.4, 2.6, 2.6, 0, -160, 10)])
    g["s"] = (5.8, [arc(2.9, 5.2, 2.3, 1.8, 20, 270, 14) + arc(2.9, 1.7, 2.4, 1.7, 90, -160, 14)[1:]])
    g["u"] = (6.6, [[(0.6, 7)] + arc(2.9, 2.6, 2.3, 2.6, 180, 360, 12) + [(5.2, 7)], [(5.2, 7), (5.2, 0)]])
    g["i"] = (2.2, [[(1.0, 0), (1.0, 7)], [(1.0, 9.0), (1.0, 10.0)]])
    g["j"] = (3.2, [[(1.8, 7)] + arc(0.2, -1.4, 1.6, 1.6, 0, -120, 8), [(1.8, 9.0), (1.8, 10.0)]])
    g["o"] = (6.8, [arc(3.4, 3.5, 3.0, 3.5, 0, 360, 28)])
    g["t"] = (4.6, [[(1.6, 10), (1.6, 1.4)] + arc(3.2, 1.4, 1.6, 1.4, 180, 270, 6), [(0.2, 7), (4.2, 7)]])
    return g


GLYPHS = alphabet()

ROOTS_WITH_ACCIDENTAL = [("C", "Sharp", SHARP), ("D", "Flat", FLAT), ("D", "Sharp", SHARP), ("E", "Flat", FLAT),
                         ("F", "Sharp", SHARP), ("G", "Flat", FLAT), ("G", "Sharp", SHARP), ("A", "Flat", FLAT),
                         ("A", "Sharp", SHARP), ("B", "Flat", FLAT)]


def layout(text, spacing=0.8):
    """Polylines of a text in y-up units, characters side by side."""
    x = 0.0
    lines = []
    for ch in text:
        advance, polylines = GLYPHS[ch]
        for pl in polylines:
            lines.append([(x + px, py) for px, py in pl])
        x += advance + spacing
    return lines


def scaled(lines, factor, dx=0.0, dy=0.0):
    return [[(px * factor + dx, py * factor + dy) for px, py in pl] for pl in lines]


# The accidental of a root, drawn on its own grid with its centre lines 10 units tall: a compact sign
# that stays legible when set small.
ROOT_ACCIDENTALS = {
    SHARP: [[(2.0, 0), (2.0, 9.2)], [(5.4, 0.8), (5.4, 10)], [(0, 2.5), (7.4, 3.9)], [(0, 6.1), (7.4, 7.5)]],
    FLAT: [[(0.6, 10), (0.6, 0), (3.9, 2.2)] + arc(2.3, 3.7, 2.1, 2.1, -35, 115)[1:] + [(0.6, 4.5)]],
}
# Where the accidental's ink lies on the root's grid (capitals 10 tall, baseline 0). The typesetter sets
# a quality, or a tension without a quality, on the root's line and tucks it under the accidental by a
# fixed margin; the tallest of those (such as "dim7" or "sus4(9)") reaches 6.5 units above the
# baseline, so the sign keeps clear above that.
ACCIDENTAL_INK_BOTTOM, ACCIDENTAL_INK_TOP = 7.2, 11.8
ACCIDENTAL_STROKE = 0.55  # of the root's stroke
ACCIDENTAL_GAP = 0.6  # between the letter's ink and the sign's, on the root's grid
# How far the typesetter sets a quality left of the right edge of each root with an accidental, in the
# root's file units (negative: a gap). The root must be wide enough that the quality, moved in that
# far, still keeps QUALITY_GAP clear of the letter.
QUALITY_TUCK = {"CSharp": 3.5, "DFlat": 3.0, "DSharp": 3.0, "EFlat": 3.5, "FSharp": 3.5, "GFlat": 3.5,
                "GSharp": 3.5, "AFlat": 0.25, "ASharp": -0.25, "BFlat": 3.5}
QUALITY_GAP = 1.0  # the gap between a plain root and its quality, in the root's file units


def root_lines(letter, accidental, name=None):
    """A root letter and its accidental (`name` as in the glyph key), set smaller, thinner and raised
    above the height of the qualities, as (lines, stroke factor) groups."""
    letter_lines = layout(letter)
    groups = [(letter_lines, 1.0)]
    if accidental:
        letter_half = ROOT_STROKE / 2.0 / (ROOT_HEIGHT / 10.0)
        half = letter_half * ACCIDENTAL_STROKE
        sign = ROOT_ACCIDENTALS[accidental]
        xs = [x for pl in sign for x, _ in pl]
        ys = [y for pl in sign for _, y in pl]
        factor = (ACCIDENTAL_INK_TOP - ACCIDENTAL_INK_BOTTOM - 2 * half) / (max(ys) - min(ys))
        # The sign moves in as far as the letter's ink at the sign's height allows.
        reach = ACCIDENTAL_INK_BOTTOM - ACCIDENTAL_GAP - letter_half
        right = max(x for x, y in samples(letter_lines) if y >= reach) + letter_half
        left = right + ACCIDENTAL_GAP
        # ... but keeps the root wide enough for the quality tucked under it to clear the letter.
        grid = ROOT_HEIGHT / 10.0
        letter_right = max(x for x, _ in samples(letter_lines)) + letter_half
        sign_width = (max(xs) - min(xs)) * factor + 2 * half
        left = max(left, letter_right + (QUALITY_GAP + QUALITY_TUCK[letter + name]) / grid - sign_width)
        dx = left + half - min(xs) * factor
        dy = ACCIDENTAL_INK_BOTTOM + half - min(ys) * factor
        groups.append((scaled(sign, factor, dx, dy), ACCIDENTAL_STROKE))
    return groups


def samples(lines, step=0.1):
    """Points along the centre lines, no farther apart than step."""
    for pl in lines:
        yield pl[0]
        for a, b in zip(pl, pl[1:]):
            n = max(1, int(math.ceil(math.dist(a, b) / step)))
            for i in range(1, n + 1):
                yield (a[0] + (b[0] - a[0]) * i / n, a[1] + (b[1] - a[1]) * i / n)


def thicken(lines, width):
    """Filled pieces for stroked centre lines with round caps and joins. A piece is a list of
    ("M"|"L", point) and ("C", control, control, point) steps, closed, turning counter-clockwise
    (y up), so that overlapping pieces fill as one shape under the non-zero rule."""
    half = width / 2.0
    pieces = []
    for pl in lines:
        pl = [p for i, p in enumerate(pl) if i == 0 or math.dist(p, pl[i - 1]) > 1e-9]
        if len(pl) < 2:
            if pl:
                pieces.append(sector(pl[0], half, 0.0, 360.0))
            continue
        closed = math.dist(pl[0], pl[-1]) < 1e-6
        for a, b in zip(pl, pl[1:]):
            pieces.append(segment(a, b, half))
        # The outer side of every turn, the seam of a closed line included, gets the circular wedge
        # between the two segment ends.
        joints = [(pl[i - 1], pl[i], pl[i + 1]) for i in range(1, len(pl) - 1)]
        if closed:
            joints.append((pl[-2], pl[0], pl[1]))
        for a, b, c in joints:
            piece = join(a, b, c, half)
            if piece:
                pieces.append(piece)
        if not closed:
            start_angle = direction(pl[1], pl[0])
            pieces.append(sector(pl[0], half, start_angle - 90.0, start_angle + 90.0))
            end_angle = direction(pl[-2], pl[-1])
            pieces.append(sector(pl[-1], half, end_angle - 90.0, end_angle + 90.0))
    return pieces


def direction(a, b):
    """The direction from a to b in degrees."""
    return math.degrees(math.atan2(b[1] - a[1], b[0] - a[0]))


def segment(a, b, half):
    """The quadrilateral of one straight piece of stroke."""
    length = math.dist(a, b)
    nx, ny = -(b[1] - a[1]) / length * half, (b[0] - a[0]) / length * half
    pts = [(a[0] - nx, a[1] - ny), (b[0] - nx, b[1] - ny), (b[0] + nx, b[1] + ny), (a[0] + nx, a[1] + ny)]
    return [("M", pts[0])] + [("L", p) for p in pts[1:]]


def join(a, b, c, half):
    """The round join at b of the segments a-b and b-c: the sector on the outer side of the turn; none
    for a straight run."""
    d1, d2 = direction(a, b), direction(b, c)
    sweep = (d2 - d1 + 180.0) % 360.0 - 180.0  # the turn, counter-clockwise positive
    if abs(sweep) < 1e-6:
        return None
    if sweep > 0:  # a left turn: the outer side is on the right
        return sector(b, half, d1 - 90.0, d1 - 90.0 + sweep)
    return sector(b, half, d2 + 90.0, d2 + 90.0 - sweep)


def sector(centre, radius, start, end):
    """A circular sector (a full disc for 360 degrees) from start to end counter-clockwise, its arc as
    cubic curves, one per quadrant it crosses: so the extremes of the outline are end points of curves
    and every control point lies within the bounds of its curve's end points."""
    sweep = end - start
    cx, cy = centre
    # The points at 0, 90, 180 and 270 degrees are snapped so that the glyph's extremes come out exact.
    cuts = [start] + [q * 90.0 for q in range(int(math.floor(start / 90.0)) + 1, int(math.ceil(end / 90.0)))
                      if start + 1e-6 < q * 90.0 < end - 1e-6] + [end]

    def at(degrees):
        if abs(degrees / 90.0 - round(degrees / 90.0)) < 1e-9:
            quadrant = int(round(degrees / 90.0)) % 4
            return (cx + radius * (1, 0, -1, 0)[quadrant], cy + radius * (0, 1, 0, -1)[quadrant])
        a = math.radians(degrees)
        return (cx + radius * math.cos(a), cy + radius * math.sin(a))

    full = sweep >= 360.0 - 1e-9
    piece = [("M", at(start))] if full else [("M", centre), ("L", at(start))]
    for d0, d1 in zip(cuts, cuts[1:]):
        a, b = math.radians(d0), math.radians(d1)
        k = 4.0 / 3.0 * math.tan((b - a) / 4.0) * radius
        p0, p3 = at(d0), at(d1)
        c1 = (p0[0] - k * math.sin(a), p0[1] + k * math.cos(a))
        c2 = (p3[0] + k * math.sin(b), p3[1] - k * math.cos(b))
        piece.append(("C", c1, c2, p3))
    return piece


def piece_points(piece):
    return [p for step in piece for p in step[1:]]


def piece_area(piece):
    """Twice the signed area of the polygon through every point of the piece, control points
    included: positive for a counter-clockwise piece (y up)."""
    pts = piece_points(piece)
    return sum(x1 * y2 - x2 * y1 for (x1, y1), (x2, y2) in zip(pts, pts[1:] + pts[:1]))


def svg_for(groups, height, stroke):
    """SVG text of the thickened lines, scaled so that capitals are `height` tall, y down. `groups` is
    a list of (lines, stroke factor), or plain lines drawn at the full stroke."""
    if groups and not isinstance(groups[0], tuple):
        groups = [(groups, 1.0)]
    factor = height / 10.0
    pieces = []
    for lines, weight in groups:
        pieces += thicken(scaled(lines, factor), stroke * weight)
    assert all(piece_area(piece) > 0 for piece in pieces)
    # The extent of the outline, from its corners and points sampled along its curves (the reader
    # measures the exact bounds anyway and moves the glyph to (0, 0)).
    xs, ys = [], []
    for piece in pieces:
        for x, y in outline_points(piece):
            xs.append(x)
            ys.append(y)
    min_x, max_y = min(xs), max(ys)
    parts = []
    for piece in pieces:
        text = []
        for step in piece:
            pts = [fmt((x - min_x, max_y - y)) for x, y in step[1:]]
            text.append(step[0] + " ".join(pts))
        parts.append("".join(text) + "Z")
    width = max(xs) - min_x
    h = max_y - min(ys)
    return ('<?xml version="1.0" encoding="UTF-8"?>\n'
            '<svg xmlns="http://www.w3.org/2000/svg" width="%.2f" height="%.2f">\n'
            '  <path d="%s"/>\n</svg>\n') % (width, h, " ".join(parts))


def outline_points(piece):
    """Points on the outline of a piece: its corners and, for curves, samples along them."""
    pts = []
    current = None
    for step in piece:
        if step[0] == "C":
            p0, c1, c2, p3 = current, step[1], step[2], step[3]
            for i in range(1, 9):
                t = i / 8.0
                u = 1.0 - t
                pts.append((u ** 3 * p0[0] + 3 * u * u * t * c1[0] + 3 * u * t * t * c2[0] + t ** 3 * p3[0],
                            u ** 3 * p0[1] + 3 * u * u * t * c1[1] + 3 * u * t * t * c2[1] + t ** 3 * p3[1]))
            current = p3
        else:
            current = step[1]
            pts.append(current)
    return pts


def fmt(p):
    def n(v):
        s = "%.2f" % v
        s = s.rstrip("0").rstrip(".")
        return "0" if s in ("-0", "") else s
    return "%s,%s" % (n(p[0]), n(p[1]))


ROOT_HEIGHT, ROOT_STROKE = 20.0, 2.4
QUALITY_HEIGHT, QUALITY_STROKE = 12.0, 1.7
TENSION_HEIGHT, TENSION_STROKE = 9.0, 1.4

QUALITIES = {
    "chord6": "6", "chord7": "7", "chordDelta7": DELTA + "7", "chordM6": "m6", "chordM7": "m7",
    "chordMDelta7": "m" + DELTA + "7", "chordM7-5": "m7-5", "chordDim": "dim", "chordDim7": "dim7",
    "chordM": "m", "chord-": "-", "chord-7-5": "-7-5", "chordPhy": HALF_DIM,
    "chordM7Flat5": "m7" + FLAT + "5", "chord-7Flat5": "-7" + FLAT + "5", "chord-6": "-6",
    "chordCircle": CIRCLE, "chordMMaj7": "mmaj7", "chord-Delta7": "-" + DELTA + "7", "chord-maj7": "-maj7",
    "chordMaj7": "maj7", "chordCircle7": CIRCLE + "7", "chord-7": "-7",
}


def tension_text(key):
    """The text of a tension key: "Sharp" and "Flat" become the signs, "_" a slash, words lower case."""
    body = key[len("chord"):]
    body = body.replace("Sharp", SHARP).replace("Flat", FLAT).replace("_", "/")
    for word in ("Sus", "Omit", "Add", "Aug"):
        body = body.replace(word, word.lower())
    return body


TENSIONS = [
    "chordSus4", "chord+5", "chord6", "chord9", "chord11", "chord13", "chordOmit3", "chordSus4(9)", "chord-5",
    "chord6_9", "chord9(11)", "chord+11", "chord-13", "chordOmit5", "chordSus4(-9)", "chord+5(9)",
    "chord6_9(+11)", "chord9(+11)", "chord11(13)", "chord-9", "chord4", "chord-5(9)", "chord9(13)",
    "chord11(-13)", "chord+", "chord2", "chord+5(-9)", "chord9(-13)", "chord+11(13)", "chord-5(-9)",
    "chord-9(13)", "chord+11(-13)", "chord+5(+9)", "chord-9(-13)", "chord-5(+9)", "chord+9", "chord+9(-13)",
    "chordAdd9", "chordSus4(Flat9)", "chordAug", "chordSharp5", "chordFlat5", "chordAug(9)", "chordSharp5(9)",
    "chordFlat5(9)", "chordAug(-9)", "chordAug(Flat9)", "chordSharp5(Flat9)", "chordFlat5(Flat9)",
    "chordAug(+9)", "chordSharp5(Sharp9)", "chordAug(Sharp9)", "chordFlat5(Sharp9)", "chord6_9(Sharp11)",
    "chordFlat9", "chordSharp9", "chord9(Sharp11)", "chord9(Flat13)", "chordFlat9(13)", "chordFlat9(Flat13)",
    "chordSharp9(Flat13)", "chordSharp11", "chord11(Flat13)", "chordSharp11(13)", "chordSharp11(Flat13)",
    "chordFlat13",
]


def glyphs():
    out = {}
    for letter in "CDEFGAB":
        out["chord" + letter] = svg_for(root_lines(letter, None), ROOT_HEIGHT, ROOT_STROKE)
    for letter, name, sign in ROOTS_WITH_ACCIDENTAL:
        text = svg_for(root_lines(letter, sign, name), ROOT_HEIGHT, ROOT_STROKE)
        out["chord%s%s" % (letter, name)] = text
        # The variant a bass under the bar uses: the same outline.
        out["chord%s%s-" % (letter, name)] = text
    for key, text in QUALITIES.items():
        out[key] = svg_for(layout(text), QUALITY_HEIGHT, QUALITY_STROKE)
    for key in TENSIONS:
        if key in out:
            continue  # "chord6" is a quality and a tension: one file, drawn at the quality's size
        out[key] = svg_for(layout(tension_text(key)), TENSION_HEIGHT, TENSION_STROKE)
    out["chordSlash"] = svg_for(layout("/"), ROOT_HEIGHT, ROOT_STROKE)
    out["chordHyphen"] = svg_for([[(0, 0), (13.0, 0)]], ROOT_HEIGHT, ROOT_STROKE * 0.8)
    return out


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "resources")
    os.makedirs(folder, exist_ok=True)
    for key, text in sorted(glyphs().items()):
        with open(os.path.join(folder, key + ".svg"), "w", encoding="utf-8") as f:
            f.write(text)


if __name__ == "__main__":
    main()
