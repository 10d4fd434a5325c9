#!/usr/bin/env python3
"""Writes the chord glyphs of the built-in font "Default" as SVG files.

Every glyph is drawn from a small stroke alphabet: each character is a list of centre lines (polylines
and arcs) on a grid whose capitals stand 10 units tall with the baseline at 0 (y up). A text is laid out
character by character, scaled to the glyph's size and every centre line is thickened into filled
quadrilaterals with a small polygon at each joint. All pieces turn the same way, so they fill as one
shape under the non-zero rule. The result is written as path data with commands M, L and Z only,
points as "x,y" with y growing downward.

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
    if steps is None:
        steps = max(4, int(abs(end - start) / 12))
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


def root_lines(letter, accidental):
    """A root letter and its accidental, set smaller, thinner and raised to the letter's top, as
    (lines, stroke factor) groups."""
    groups = [(layout(letter), 1.0)]
    if accidental:
        advance = GLYPHS[letter][0]
        groups.append((scaled(layout(accidental), 0.55, advance + 1.0, 5.0), 0.6))
    return groups


def thicken(lines, width):
    """Filled pieces (lists of points, all turning the same way) for stroked centre lines."""
    half = width / 2.0
    pieces = []
    for pl in lines:
        for (x1, y1), (x2, y2) in zip(pl, pl[1:]):
            dx, dy = x2 - x1, y2 - y1
            length = math.hypot(dx, dy)
            if length < 1e-9:
                continue
            nx, ny = -dy / length * half, dx / length * half
            pieces.append([(x1 + nx, y1 + ny), (x2 + nx, y2 + ny), (x2 - nx, y2 - ny), (x1 - nx, y1 - ny)])
        # Ends and sharp turns get a small polygon so that they have no notch; the gentle turns of an
        # arc need none.
        for i, (px, py) in enumerate(pl):
            if 0 < i < len(pl) - 1 and turn(pl[i - 1], pl[i], pl[i + 1]) < 20:
                continue
            poly = []
            for k in range(8):
                a = -math.radians(22.5 + 45 * k)
                poly.append((px + half * 1.05 * math.cos(a), py + half * 1.05 * math.sin(a)))
            pieces.append(poly)
    return pieces


def turn(a, b, c):
    """The angle in degrees by which the line a-b-c turns at b."""
    a1 = math.atan2(b[1] - a[1], b[0] - a[0])
    a2 = math.atan2(c[1] - b[1], c[0] - b[0])
    d = abs(math.degrees(a2 - a1)) % 360
    return min(d, 360 - d)


def orientation(poly):
    s = 0.0
    for (x1, y1), (x2, y2) in zip(poly, poly[1:] + poly[:1]):
        s += x1 * y2 - x2 * y1
    return s


def svg_for(groups, height, stroke):
    """SVG text of the thickened lines, scaled so that capitals are `height` tall, y down. `groups` is
    a list of (lines, stroke factor), or plain lines drawn at the full stroke."""
    if groups and not isinstance(groups[0], tuple):
        groups = [(groups, 1.0)]
    factor = height / 10.0
    pieces = []
    for lines, weight in groups:
        pieces += thicken(scaled(lines, factor), stroke * weight)
    xs = [p[0] for piece in pieces for p in piece]
    ys = [p[1] for piece in pieces for p in piece]
    min_x, max_y = min(xs), max(ys)
    parts = []
    for piece in pieces:
        if orientation(piece) < 0:
            piece = list(reversed(piece))
        pts = [(x - min_x, max_y - y) for x, y in piece]
        cmd = "M%s" % fmt(pts[0]) + "".join("L%s" % fmt(p) for p in pts[1:]) + "Z"
        parts.append(cmd)
    width = max(xs) - min_x
    h = max_y - min(ys)
    return ('<?xml version="1.0" encoding="UTF-8"?>\n'
            '<svg xmlns="http://www.w3.org/2000/svg" width="%.2f" height="%.2f">\n'
            '  <path d="%s"/>\n</svg>\n') % (width, h, " ".join(parts))


def fmt(p):
    def n(v):
        s = "%.1f" % v
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
        text = svg_for(root_lines(letter, sign), ROOT_HEIGHT, ROOT_STROKE)
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
