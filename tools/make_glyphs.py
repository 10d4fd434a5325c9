#!/usr/bin/python3
"""Writes the glyph SVG files of the built-in font "Default" from the outlines of free fonts.

Music symbols (clefs, accidentals, note heads, flags, rests, time digits, dynamics letters, signs) come
from the OFL music font that Debian ships in "lilypond-fonts"; letters and figures (chord symbols,
tempo and navigation words) from DejaVu ("fonts-dejavu-core", "fonts-dejavu-extra"). The outlines are
read with fontTools, quadratic curves become cubic ones, y is flipped to grow downward, and everything is
scaled to the glyph units of the program: one staff space is 10 units (symbol and note glyphs are drawn
at 0.59, a staff space being 5.9 points), chord glyphs are drawn at 0.767.

Only what the program's SVG reader accepts is written: "path" elements with the absolute commands M, L,
C and Z, points as "x,y", and zero-length "line" elements. Those lines add no ink but widen the bounds,
which is how a file carries its anchor where the reader keeps only the bounds (a raised sign standing on
the baseline, a padded accidental, a rest that hangs from a given height). Outer contours all turn one
way and holes the other, so hollow shapes stay hollow under either fill rule.

The output is committed; building the program needs no font tools. Run after changing this file:

    tools/make_glyphs.py [output folder]      (default: resources/ beside this folder)

Needs: python3-fonttools, lilypond-fonts, fonts-dejavu-core, fonts-dejavu-extra.
"""

import glob
import os
import sys

from fontTools.misc.bezierTools import calcCubicBounds
from fontTools.pens.basePen import BasePen
from fontTools.ttLib import TTFont

SS = 10.0  # glyph units per staff space
SYMBOL_SCALE = 0.59  # points per glyph unit of a symbol or note glyph


def music_font_path():
    found = sorted(glob.glob("/usr/share/lilypond/*/fonts/otf/emmentaler-20.otf"))
    if not found:
        sys.exit("the music font of lilypond-fonts is missing: apt-get install lilypond-fonts")
    return found[-1]


def brace_font_path():
    return os.path.join(os.path.dirname(music_font_path()), "emmentaler-brace.otf")


DEJAVU = "/usr/share/fonts/truetype/dejavu/"

# ---------------------------------------------------------------------------------------------------
# Outlines


class Shape:
    """Closed contours (y down) plus anchor points that widen the bounds without ink."""

    def __init__(self, contours=None, anchors=None):
        self.contours = contours or []  # each: [start, [segment, ...]], segment: (p,) line or (c1, c2, p)
        self.anchors = anchors or []

    def copy(self):
        return Shape([[c[0], list(c[1])] for c in self.contours], list(self.anchors))

    def map(self, fn):
        return Shape([[fn(c[0]), [tuple(fn(p) for p in seg) for seg in c[1]]] for c in self.contours],
                     [fn(a) for a in self.anchors])

    def moved(self, dx, dy):
        return self.map(lambda p: (p[0] + dx, p[1] + dy))

    def scaled(self, sx, sy=None):
        sy = sx if sy is None else sy
        return self.map(lambda p: (p[0] * sx, p[1] * sy))

    def add(self, other, dx=0.0, dy=0.0):
        moved = other.moved(dx, dy)
        self.contours += moved.contours
        self.anchors += moved.anchors
        return self

    def anchor(self, x, y):
        self.anchors.append((x, y))
        return self

    def ink_bounds(self):
        xs0, ys0, xs1, ys1 = [], [], [], []
        for start, segs in self.contours:
            cur = start
            for seg in segs:
                if len(seg) == 1:
                    pts = [cur, seg[0]]
                    b = (min(p[0] for p in pts), min(p[1] for p in pts), max(p[0] for p in pts),
                         max(p[1] for p in pts))
                else:
                    b = calcCubicBounds(cur, seg[0], seg[1], seg[2])
                xs0.append(b[0]), ys0.append(b[1]), xs1.append(b[2]), ys1.append(b[3])
                cur = seg[-1]
        if not xs0:
            return None
        return (min(xs0), min(ys0), max(xs1), max(ys1))

    def bounds(self):
        b = self.ink_bounds()
        pts = list(self.anchors)
        if b:
            pts += [(b[0], b[1]), (b[2], b[3])]
        if not pts:
            return (0.0, 0.0, 0.0, 0.0)
        return (min(p[0] for p in pts), min(p[1] for p in pts), max(p[0] for p in pts),
                max(p[1] for p in pts))

    def width(self):
        b = self.bounds()
        return b[2] - b[0]

    def height(self):
        b = self.bounds()
        return b[3] - b[1]

    def reversed(self):
        out = []
        for start, segs in self.contours:
            pts = [start]
            for seg in segs:
                pts.append(seg[-1])
            rev_segs = []
            for i in range(len(segs) - 1, -1, -1):
                seg = segs[i]
                begin = pts[i]
                if len(seg) == 1:
                    rev_segs.append((begin,))
                else:
                    rev_segs.append((seg[1], seg[0], begin))
            out.append([pts[-1], rev_segs])
        return Shape(out, list(self.anchors))


def signed_area(contour):
    start, segs = contour
    pts = [start]
    for seg in segs:
        pts.extend(seg)
    area = 0.0
    for i in range(len(pts)):
        x0, y0 = pts[i]
        x1, y1 = pts[(i + 1) % len(pts)]
        area += x0 * y1 - x1 * y0
    return area / 2


def oriented(shape):
    """Turns the glyph so that its largest contour is clockwise on screen (y down), keeping the
    relative turn of its holes."""
    if not shape.contours:
        return shape
    largest = max(shape.contours, key=lambda c: abs(signed_area(c)))
    return shape if signed_area(largest) > 0 else shape.reversed()


class _Pen(BasePen):
    def __init__(self, glyph_set, transform):
        super().__init__(glyph_set)
        self.t = transform
        self.contours = []
        self.current = None

    def _moveTo(self, p):
        self.current = [self.t(p), []]

    def _lineTo(self, p):
        self.current[1].append((self.t(p),))

    def _curveToOne(self, p1, p2, p3):
        self.current[1].append((self.t(p1), self.t(p2), self.t(p3)))

    def _closePath(self):
        if self.current and self.current[1]:
            self.contours.append(self.current)
        self.current = None

    _endPath = _closePath


class Font:
    def __init__(self, path, unit):
        self.tt = TTFont(path)
        self.glyphs = self.tt.getGlyphSet()
        self.cmap = self.tt.getBestCmap()
        self.unit = unit  # font units that make one "size" unit given to glyph()

    def glyph(self, name, size):
        """The named glyph, `size` glyph units to one font unit block, origin kept, y flipped."""
        k = size / self.unit
        pen = _Pen(self.glyphs, lambda p: (p[0] * k, -p[1] * k))
        self.glyphs[name].draw(pen)
        return oriented(Shape(pen.contours)), self.glyphs[name].width * k

    def char(self, ch, size):
        return self.glyph(self.cmap[ord(ch)], size)


MUSIC = Font(music_font_path(), 250.0)  # one staff space is 250 units of the music font
BRACE = Font(brace_font_path(), 250.0)
SANS = Font(DEJAVU + "DejaVuSansCondensed.ttf", 2048.0)  # size: glyph units per em
SERIF_ITALIC = Font(DEJAVU + "DejaVuSerif-Italic.ttf", 2048.0)
SERIF_BOLD_ITALIC = Font(DEJAVU + "DejaVuSerif-BoldItalic.ttf", 2048.0)


def music(name, scale=1.0):
    """A music-font glyph at `scale` times its engraved size (one staff space = 10 units)."""
    return MUSIC.glyph(name, SS * scale)[0]


def music_advance(name, scale=1.0):
    return MUSIC.glyph(name, SS * scale)[1]


def text(string, font, em, tracking=0.0):
    """A line of text standing on y = 0, starting at x = 0; `em` glyph units to the em."""
    shape = Shape()
    x = 0.0
    for ch in string:
        g, adv = font.char(ch, em)
        shape.add(g, x, 0)
        x += adv + tracking * em
    return shape, x


def rect(x, y, w, h):
    return Shape([[(x, y), [((x + w, y),), ((x + w, y + h),), ((x, y + h),)]]])


def ellipse(cx, cy, rx, ry, clockwise=True):
    k = 0.5522847498
    pts = [(cx + rx, cy), (cx, cy + ry), (cx - rx, cy), (cx, cy - ry)]
    segs = []
    for i in range(4):
        p0 = pts[i]
        p1 = pts[(i + 1) % 4]
        # tangents of a circle turning clockwise on screen (y down)
        t0 = ((p0[1] - cy) / ry * -rx, (p0[0] - cx) / rx * ry)
        t1 = ((p1[1] - cy) / ry * -rx, (p1[0] - cx) / rx * ry)
        segs.append(((p0[0] + t0[0] * k, p0[1] + t0[1] * k), (p1[0] - t1[0] * k, p1[1] - t1[1] * k), p1))
    s = Shape([[pts[0], segs]])
    return s if clockwise else s.reversed()


def ring(cx, cy, r_out, r_in):
    s = ellipse(cx, cy, r_out, r_out)
    s.add(ellipse(cx, cy, r_in, r_in, clockwise=False))
    return s


def polygon(points):
    s = Shape([[points[0], [(p,) for p in points[1:]]]])
    return oriented(s)


def hstack(parts, gap=0.0):
    """Parts side by side, each given as (shape, advance or None for its ink width)."""
    out = Shape()
    x = 0.0
    for shape, adv in parts:
        b = shape.bounds()
        out.add(shape, x - (b[0] if adv is None else 0.0), 0)
        x += (b[2] - b[0] if adv is None else adv) + gap
    return out


# ---------------------------------------------------------------------------------------------------
# Writing


def fmt(v):
    s = "%.2f" % v
    s = s.rstrip("0").rstrip(".")
    return "0" if s in ("-0", "") else s


def svg(shape):
    b = shape.bounds()
    s = shape.moved(-b[0], -b[1])
    parts = []
    for start, segs in s.contours:
        d = ["M%s,%s" % (fmt(start[0]), fmt(start[1]))]
        for seg in segs:
            if len(seg) == 1:
                d.append("L%s,%s" % (fmt(seg[0][0]), fmt(seg[0][1])))
            else:
                d.append("C" + " ".join("%s,%s" % (fmt(p[0]), fmt(p[1])) for p in seg))
        d.append("Z")
        parts.append("".join(d))
    out = ['<?xml version="1.0" encoding="UTF-8"?>',
           '<svg xmlns="http://www.w3.org/2000/svg" width="%s" height="%s">' % (fmt(b[2] - b[0]),
                                                                              fmt(b[3] - b[1]))]
    if parts:
        out.append('  <path d="%s"/>' % " ".join(parts))
    for a in s.anchors:
        out.append('  <line x1="%s" y1="%s" x2="%s" y2="%s"/>' % (fmt(a[0]), fmt(a[1]), fmt(a[0]), fmt(a[1])))
    out.append("</svg>")
    return "\n".join(out) + "\n"


# ---------------------------------------------------------------------------------------------------
# Symbol glyphs (drawn at 0.59: one staff space is 10 units). Placements noted in points are those the
# views put the glyph's top edge at, measured from the top staff line.


def pt(points):
    """Glyph units of a symbol glyph for a length in points."""
    return points / SYMBOL_SCALE


def with_top_at(shape, top):
    """Adds an anchor at y = top when the ink starts lower, so that the bounds start there."""
    b = shape.ink_bounds()
    if b[1] > top + 1e-6:
        shape.anchor(b[0], top)
    return shape


def clefs(out):
    # The view puts a G clef's top 8.0 above the top line and an F clef's 1.0 above it. The G clef is
    # set a little smaller than engraved size so that its curl still rounds the G line (3 spaces below
    # the top line) with its top at that height; the F clef keeps its size and carries its top.
    g = music("clefs.G")
    top = g.ink_bounds()[1]  # relative to the G line
    s = (3 * SS + pt(8.0)) / -top
    out["clefToon"] = music("clefs.G", s)
    f = music("clefs.F")  # relative to the F line, one space below the top line
    out["clefHeon"] = with_top_at(f, -SS - pt(1.0))


SHARP_ORDER = [0, 1.5, -0.5, 1.0, 2.5, 0.5, 2.0]  # staff spaces below the top line, treble clef
FLAT_ORDER = [2.0, 0.5, 2.5, 1.0, 3.0, 1.5, 3.5]


def keys(out):
    # Tops: one or two sharps 8.0 above the top line, more 11.0; one flat 2.6 below it, more 6.6 above.
    sharp_scale = pt(8.0) / (1.5 * SS)
    flat_scale = (2.0 * SS - pt(2.6)) / (465 / 250 * SS)
    for n in range(1, 8):
        s = Shape()
        for i in range(n):
            s.add(music("accidentals.sharp", sharp_scale), i * 1.05 * SS, SHARP_ORDER[i] * SS)
        out["keySharpX%d" % n] = with_top_at(s, -pt(8.0) if n <= 2 else -pt(11.0))
        f = Shape()
        for i in range(n):
            f.add(music("accidentals.flat", flat_scale), i * 0.9 * SS, FLAT_ORDER[i] * SS)
        out["keyFlatX%d" % n] = with_top_at(f, pt(2.6) if n == 1 else -pt(6.6))


DIGITS = ["zero", "one", "two", "three", "four", "five", "six", "seven", "eight", "nine"]


def number(n, scale=1.0, gap=0.0):
    parts = [(music(DIGITS[int(c)], scale), music_advance(DIGITS[int(c)], scale) + gap) for c in str(n)]
    return hstack(parts)


def times(out):
    # Numerator from the top line to the middle line, denominator below it, centred on each other.
    for key, (num, den) in [("time1_4", (1, 4)), ("time2_4", (2, 4)), ("time3_4", (3, 4)), ("time4_4", (4, 4)),
                            ("time5_4", (5, 4)), ("time6_4", (6, 4)), ("time7_4", (7, 4)), ("time3_8", (3, 8)),
                            ("time5_8", (5, 8)), ("time6_8", (6, 8)), ("time7_8", (7, 8)), ("time9_8", (9, 8)),
                            ("time12_8", (12, 8))]:
        a, b = number(num), number(den)
        w = max(a.width(), b.width())
        s = Shape().add(a, (w - a.width()) / 2 - a.bounds()[0], 2 * SS).add(b, (w - b.width()) / 2 - b.bounds()[0],
                                                                          4 * SS)
        out[key] = with_top_at(s, 0.0)
    # Common time: centred on the middle line, its top 5.6 below the top line.
    out["time_c"] = music("timesig.C44").moved(0, 2 * SS)


def barlines(out):
    h = pt(23.8)
    thin, thick = pt(0.2) * 2, pt(1.5)
    out["barlinesSingle"] = rect(0, 0, thin, h)
    dotted = Shape()
    y = 0.0
    while y < h:
        dotted.add(rect(0, y, thin, min(pt(1.1), h - y)))
        y += pt(2.1)
    out["barlinesDotted"] = dotted
    out["barlinesGrateDouble"] = rect(0, 0, thin, h).add(rect(pt(1.7), 0, thick, h))
    out["barlinesDouble"] = rect(0, 0, thin, h).add(rect(pt(1.7), 0, thin, h))
    # The brace is scaled to the height of a double line by the line view: any brace of the music font.
    out["barlinesBrace"] = BRACE.glyph("brace299", SS)[0]


def repeat_wings(out):
    # Read unscaled (units are points): a thick bar 2.0 wide over one staff (23.8) with a wing that
    # curls over the dots at its outer end. The barline view sets the upper glyph's bottom on its staff's
    # bottom line and the lower glyph's top on its staff's top line.
    staff, bar, wing_h, wing_w = 23.8, 2.0, 4.2, 6.0

    def wing_up(x0):
        # Bar from y = wing_h to wing_h + staff, wing rising to the right from its top.
        s = rect(x0, wing_h, bar, staff)
        w = wing_w
        s.add(oriented(Shape([[(x0, wing_h), [((x0 + 0.35 * w, wing_h - 0.1), (x0 + 0.75 * w, wing_h - 1.3),
                                               (x0 + w, 0.0)),
                                              ((x0 + 0.85 * w, wing_h * 0.5 + 0.9), (x0 + 0.55 * w, wing_h + 0.8),
                                               (x0 + bar * 0.5, wing_h + 1.8)),
                                              ((x0, wing_h + 1.8),)]]])))
        return oriented(s)

    up = wing_up(0.0)
    out["barlinesRepeatLeftUpper"] = up
    h = up.height()
    out["barlinesRepeatLeftLower"] = up.map(lambda p: (p[0], h - p[1])).reversed()
    mirror = up.map(lambda p: (-p[0], p[1])).reversed()
    out["barlinesRepeatRightUpper"] = mirror
    out["barlinesRepeatRightLower"] = mirror.map(lambda p: (p[0], h - p[1])).reversed()


def words(string, font=None, em=2.2 * SS):
    return text(string, font or SERIF_BOLD_ITALIC, em)[0]


def repeats(out):
    em = 2.3 * SS
    out["repeatDaCapo"] = words("D.C.", em=em)
    out["repeatDalSegno"] = words("D.S.", em=em)
    # "To" and the coda sign, centred on the height of the capitals.
    coda = music("scripts.coda", 0.8)
    to, advance = text("To ", SERIF_BOLD_ITALIC, em)
    cb = coda.ink_bounds()
    out["repeatToCoda"] = Shape().add(to).add(coda, advance - cb[0], -0.729 * em / 2 - (cb[1] + cb[3]) / 2)
    out["repeatCoda"] = music("scripts.coda")
    out["repeatSegno"] = music("scripts.segno")
    out["repeatFine"] = words("Fine", em=em)
    out["repeatStraight"] = words("straight", SERIF_ITALIC, em)
    for n in range(2, 13):
        out["repeatRepeat%d" % n] = words("%d\u00d7" % n, SERIF_BOLD_ITALIC, em)
    out["repeatSimile"] = words("simile", SERIF_ITALIC, em)
    out["repeatTacet"] = words("tacet", SERIF_ITALIC, em)

    def percent(slashes, count=None):
        # The repeat-bar sign: slanted beams between two dots, with the bar count over it.
        s = Shape()
        bw, slope_w, hgt = 0.55 * SS, 1.6 * SS, 2.0 * SS
        for i in range(slashes):
            x = i * 0.9 * SS
            s.add(polygon([(x, hgt), (x + bw, hgt), (x + bw + slope_w, 0), (x + slope_w, 0)]))
        dot = 0.3 * SS
        s.add(ellipse(0.35 * SS, 0.45 * SS, dot, dot))
        right = (slashes - 1) * 0.9 * SS + bw + slope_w
        s.add(ellipse(right - 0.35 * SS, hgt - 0.45 * SS, dot, dot))
        if count:
            n = number(count, 0.6)
            nb = n.ink_bounds()
            s.add(n, (right - (nb[2] - nb[0])) / 2 - nb[0], -0.6 * SS - nb[3])
        return s

    out["repeatPrevBar"] = percent(1)
    out["repeatPrev2Bar"] = percent(2, 2)
    out["repeatPrev4Bar"] = percent(2, 4)


def dynamics(out):
    for key, letters in [("dynamicsFFF", "fff"), ("dynamicsFF", "ff"), ("dynamicsF", "f"), ("dynamicsMF", "mf"),
                         ("dynamicsPPP", "ppp"), ("dynamicsPP", "pp"), ("dynamicsP", "p"), ("dynamicsMP", "mp"),
                         ("dynamicsFP", "fp"), ("dynamicsSF", "sf"), ("dynamicsSFZ", "sfz"),
                         ("dynamicsFZ", "fz")]:
        s = Shape()
        x = 0.0
        for ch in letters:
            g = music(ch)
            s.add(g, x, 0)
            x += music_advance(ch) + 0.1 * SS
        out[key] = s


def octaves(out):
    # "8va" and the like at the left of their line; the view is 15 points high.
    for key, digits, suffix in [("octave8va", "8", "va"), ("octave15ma", "15", "ma"),
                                ("octave8vaBassa", "8", "vb"), ("octave15maBassa", "15", "mb")]:
        n = number(int(digits), 0.8)
        sfx = text(suffix, SERIF_BOLD_ITALIC, 1.6 * SS)[0]
        out[key] = hstack([(n, None), (sfx, None)], gap=0.15 * SS)


def small_note(flags=0, stem=3.0, scale=0.7, beam_to=None):
    """A note with its stem up, head on y = 0 (the head's centre)."""
    head = music("noteheads.s2", scale)
    hb = head.ink_bounds()
    sw = 0.13 * SS * scale
    x = hb[2] - sw
    s = Shape().add(head)
    top = -stem * SS * scale
    s.add(rect(x, top, sw, -top - 0.2 * SS * scale))
    if flags:
        f = music("flags.u%d" % (flags + 2), scale)
        fb = f.ink_bounds()
        s.add(f, x - fb[0] - 0.05, top - fb[1])
    return s, (x, top, sw)


def tempos(out):
    em = 2.1 * SS
    for key, word in [("tempoRit", "rit."), ("tempoPocoRit", "poco rit."), ("tempoAccel", "accel."),
                      ("tempoPocoAccel", "poco accel."), ("tempoATempo", "a tempo"), ("tempoRubato", "rubato")]:
        out[key] = text(word, SERIF_ITALIC, em)[0]
    # Metronome mark: a quarter note and "=". The speed's digits follow with their tops 8.0 points below
    # the glyph's top, so the note's head and the "=" are centred on the digits' middle, and the stem
    # reaches just that high.
    digit_h = general_digit(0).height()
    middle = pt(8.0) + digit_h / 2
    note, _ = small_note(stem=3.0, scale=middle / (3.0 * SS))
    eq = rect(0, 0, 1.1 * SS, 0.17 * SS).add(rect(0, 0.5 * SS, 1.1 * SS, 0.17 * SS))
    s = Shape().add(note, -note.ink_bounds()[0], middle)
    s.add(eq, s.bounds()[2] + 0.5 * SS, middle - 0.335 * SS)
    out["tempoSpeed"] = with_top_at(s, 0.0)
    # Shuffle and swing marks: two even notes = the swung pair under a triplet figure.
    for key, flags in [("shuffle8", 1), ("shuffle16", 2)]:
        out[key] = shuffle_mark(flags)


def beamed_pair(flags, scale, gap):
    """Two notes with stems up joined by `flags` beams."""
    s = Shape()
    a, (ax, top, sw) = small_note(stem=3.0, scale=scale)
    b, _ = small_note(stem=3.0, scale=scale)
    s.add(a)
    s.add(b, gap, 0)
    bx = gap + ax
    thick = 0.45 * SS * scale
    for i in range(flags):
        y = top + i * 0.75 * SS * scale
        s.add(rect(ax, y, bx + sw - ax, thick))
    return s


def shuffle_mark(flags):
    scale = 0.7
    gap = 1.9 * SS * scale
    even = beamed_pair(flags, scale, gap)
    # the swung pair: a longer note and a short one under a "3"
    long_note, _ = small_note(flags=flags - 1, stem=3.0, scale=scale) if flags > 1 else small_note(stem=3.0,
                                                                                                 scale=scale)
    short_note, _ = small_note(flags=flags, stem=3.0, scale=scale)
    swung = Shape().add(long_note).add(short_note, gap, 0)
    three = number(3, 0.45)
    sb = swung.ink_bounds()
    tb = three.ink_bounds()
    swung.add(three, (sb[0] + sb[2]) / 2 - (tb[0] + tb[2]) / 2, sb[1] - 0.3 * SS - tb[3])
    eq = rect(0, 0, 0.9 * SS, 0.15 * SS).add(rect(0, 0.45 * SS, 0.9 * SS, 0.15 * SS))
    eb = even.ink_bounds()
    s = Shape().add(even)
    x = eb[2] + 0.5 * SS
    s.add(eq, x, -0.3 * SS)
    s.add(swung, x + 0.9 * SS + 0.5 * SS - sb[0], 0)
    return s


def pushes(out):
    # A push (anticipation) mark: the note value it anticipates by, with an arrow pointing back.
    for key, flags in [("push8", 1), ("push16", 2)]:
        note, (x, top, sw) = small_note(flags=flags, stem=3.0, scale=0.7)
        nb = note.ink_bounds()
        arrow = Shape()
        ay = top + 0.2 * SS
        aw = 1.6 * SS
        arrow.add(polygon([(0, 0), (0.6 * SS, -0.4 * SS), (0.6 * SS, -0.1 * SS), (aw, -0.1 * SS),
                           (aw, 0.1 * SS), (0.6 * SS, 0.1 * SS), (0.6 * SS, 0.4 * SS)]))
        s = Shape().add(arrow, nb[0] - aw - 0.3 * SS, ay).add(note)
        out[key] = s


def general_digit(d):
    return music(DIGITS[d], pt(3.5) / (367 / 250 * SS))


def general_numbers(out):
    # Plain digits stand 4.0 points apart when composed (long rests double them), so each is at most
    # about 3.6 points wide; circled digits follow the pass-number signs.
    for d in range(10):
        out["generalNumber%d" % d] = general_digit(d)
    r_out = 0.72 * SS
    for d in range(10):
        s = ring(r_out, r_out, r_out, r_out - 0.12 * SS)
        n = music(DIGITS[d], 0.42)
        b = n.ink_bounds()
        s.add(n, r_out - (b[0] + b[2]) / 2, r_out - (b[1] + b[3]) / 2)
        out["generalNumberCircle%d" % d] = s


# ---------------------------------------------------------------------------------------------------
# Note glyphs (drawn at 0.59)

# Distance from the top of a rest's frame to the middle line, in points, by rest.
REST_TOPS = {"KyuuhuZen": 6.0, "Kyuuhu2": 3.0, "Kyuuhu4": 11.0, "Kyuuhu8": 5.0, "Kyuuhu16": 5.0,
             "Kyuuhu32": 10.0}


def notes(out):
    out["OnpuTamaKuro"] = music("noteheads.s2")
    out["OnpuTama2"] = music("noteheads.s1")
    out["OnpuTamaZen"] = music("noteheads.s0")
    out["SlashTamaKuro"] = music("noteheads.s2slash")
    out["SlashTamaShiro"] = music("noteheads.s1slash")
    out["SlashTamaZen"] = music("noteheads.s0slash")
    out["OnpuHata8"] = music("flags.u3")
    out["OnpuHata16"] = music("flags.u4")
    out["OnpuHata32"] = music("flags.u5")
    # Rests keep their place against the middle line (y = 0 here): the whole rest hangs from the
    # fourth line, the half rest sits on the middle line; each carries the top its cell expects. The
    # two block rests and the 32nd are a little smaller so that their ink starts no higher than that.
    whole_half = pt(3.0) / (156 / 250 * SS)
    rests = {"KyuuhuZen": music("rests.0", whole_half).moved(0, -SS), "Kyuuhu2": music("rests.1", whole_half),
             "Kyuuhu4": music("rests.2"), "Kyuuhu8": music("rests.3"), "Kyuuhu16": music("rests.4"),
             "Kyuuhu32": music("rests.5", pt(10.0) / (455 / 250 * SS))}
    for key, shape in rests.items():
        out[key] = with_top_at(shape, -pt(REST_TOPS[key]) - 0.001)
    # Accidentals stand left of the head at fixed offsets (sharp 4.8, flat 5.0, natural 4.2, double
    # flat 9.0 points), so they are narrower than engraved ones. The tone keeps an accidental's origin
    # level with the middle of its head, and the view's top is that far above it (sharp 6.2, double sharp
    # 2.2, flat and double flat 7.8, natural 6.8 points): the glyph's note position (y = 0 of the music
    # font: the middle of a sharp, a natural or a double sharp, the bowl of a flat) goes to the middle of
    # the head, and a glyph whose ink would reach above its top is made that much shorter.
    for key, name, max_w, top in [("HenkaSharpX1", "accidentals.sharp", 3.9, -6.2),
                                  ("HenkaSharpX2", "accidentals.doublesharp", 4.4, -2.2),
                                  ("HenkaFlatX1", "accidentals.flat", 4.1, -7.8),
                                  ("HenkaFlatX2", "accidentals.flatflat", 8.0, -7.8),
                                  ("HenkaNatural", "accidentals.natural", 3.4, -6.8)]:
        g = music(name)
        b = g.ink_bounds()
        sx = min(1.0, pt(max_w) / (b[2] - b[0]))
        sy = min(1.0, sx * 1.45) if name != "accidentals.doublesharp" else sx
        ink_top = b[1] * sy
        if ink_top < pt(top):
            sy *= pt(top) / ink_top
        out[key] = with_top_at(g.scaled(sx, sy), pt(top))
    out["ArticulationAccento"] = music("scripts.sforzato")
    out["ArticulationFermata"] = music("scripts.ufermata")
    out["ArticulationMarcato"] = music("scripts.umarcato")
    out["ArticulationStaccato"] = music("scripts.staccato")
    out["ArticulationTenuto"] = music("scripts.tenuto")
    out["ArticulationS"] = vertical(music("scripts.arpeggio"), 4)
    out["ArticulationSlur"] = tie_arc()


def vertical(segment, count):
    """The arpeggio's wavy line: its element repeated upward, one staff space apart."""
    s = Shape()
    for i in range(count):
        s.add(segment, 0, -i * SS)
    return s


def tie_arc():
    w, h, t = 3.0 * SS, 0.7 * SS, 0.16 * SS
    return oriented(Shape([[(0, 0), [((w * 0.25, h + t), (w * 0.75, h + t), (w, 0)),
                                     ((w * 0.75, h), (w * 0.25, h), (0, 0))]]]))


# ---------------------------------------------------------------------------------------------------
# Chord glyphs (drawn at 0.767). Roots stand on y = 0 with capitals CAP units tall; the typesetter sets
# a quality on the root's line, a tension on the line or stacked over the quality, and a few of them
# lower by fixed offsets: those glyphs carry the baseline their text stands on as an anchor.

CAP = 14.0  # cap height of a root, about 1.8 staff spaces once drawn
ROOT_EM = CAP / 0.729  # DejaVu capitals are 0.729 em tall
QUALITY_EM = 15.5
TENSION_EM = QUALITY_EM * 0.8  # the minor eleventh scales its tension by 1.25 to the quality's size

# Gap between a root and its quality, by root: a negative gap tucks the quality under the accidental.
# A root with an accidental is padded on the right so that the quality starts just clear of the sign.
ROOT_MARGINS = {"CSharp": -3.5, "DFlat": -3.0, "DSharp": -3.0, "EFlat": -3.5, "FSharp": -3.5,
                "GFlat": -3.5, "GSharp": -3.5, "AFlat": -0.25, "ASharp": 0.25, "BFlat": -3.5}
CLEAR_OF_SIGN = 1.3
# A plain root keeps the right side bearing its letter has in text, so that a quality or tension set the
# typesetter's gap after it stands as far from the letter as the next letter of a word would; the
# diagonal of the A, which has almost none, still keeps a little.
MIN_SIDE_BEARING = 0.5


def accidental(kind, em, raised_for_root=False):
    """A sharp or flat of the music font sized for text of that em, standing on the baseline (flat)
    or centred at half the height of a figure (sharp); a root's sign is raised instead."""
    if kind == "#":
        g = music("accidentals.sharp", (0.54 if raised_for_root else 0.82) * em / 30.0)
        b = g.ink_bounds()
        mid = -10.8 if raised_for_root else -0.729 * em * 0.5
        return g.moved(-b[0], mid - (b[1] + b[3]) / 2)
    g = music("accidentals.flat", (0.52 if raised_for_root else 0.85) * em / 25.12)
    b = g.ink_bounds()
    bottom = -5.6 if raised_for_root else 0.0
    return g.moved(-b[0], bottom - b[3])


def chord_text(string, em, font=None, paren_lift=0.0):
    """Text of a chord symbol: '#' and 'b' are the music font's sharp and flat, '-' the minus sign,
    '^' the major-seventh triangle; parentheses are raised by paren_lift."""
    font = font or SANS
    s = Shape()
    x = 0.0
    for ch in string:
        if ch in "#b":
            g = accidental(ch, em)
            s.add(g, x + 0.05 * em, 0)
            x += g.width() + 0.12 * em
            continue
        real = {"-": "\u2212", "^": "\u0394"}.get(ch, ch)
        g, adv = font.char(real, em)
        if ch == "-":  # a narrower minus than the font's, with the width of a figure
            g = g.moved(-g.ink_bounds()[0] + 0.05 * em, 0)
            adv = g.ink_bounds()[2] + 0.08 * em
        if ch in "()":
            g = g.moved(0, -paren_lift)
        s.add(g, x, 0)
        x += adv
    return s


def root_glyph(name, padded=True):
    letter, adv = SANS.char(name[0], ROOT_EM)
    s = Shape().add(letter)
    sign = name[1:]
    lb = letter.ink_bounds()
    if not sign:
        s.anchor(lb[2] + max(adv - lb[2], MIN_SIDE_BEARING), 0.0)
    else:
        acc = accidental("#" if sign == "Sharp" else "b", ROOT_EM, raised_for_root=True)
        s.add(acc, lb[2] + 0.7, 0)
        if padded:
            right = s.ink_bounds()[2]
            s.anchor(right + CLEAR_OF_SIGN - ROOT_MARGINS[name], 0.0)
    return s


def roots(out):
    for name in ["C", "CSharp", "DFlat", "D", "DSharp", "EFlat", "E", "F", "FSharp", "GFlat", "G", "GSharp",
                 "AFlat", "A", "ASharp", "BFlat", "B"]:
        out["chord" + name] = root_glyph(name)
        if len(name) > 1:
            out["chord" + name + "-"] = root_glyph(name, padded=False)  # bass under a bar: centred, no pad


def raised_circle(em):
    r_out = 2.9
    return ring(r_out, -(CAP - 0.2) + r_out, r_out, r_out - 0.75)


def raised_half_diminished():
    g, _ = SANS.char("\u00f8", ROOT_EM * 0.62)
    b = g.ink_bounds()
    return g.moved(-b[0], -(CAP + 0.2) - b[1])


def with_figure(sign, string, em):
    """A raised sign followed by text on the baseline."""
    s = Shape().add(sign)
    t = chord_text(string, em)
    s.add(t, sign.ink_bounds()[2] + 0.1 * em - t.ink_bounds()[0], 0)
    return s


QUALITIES = {"chord6": "6", "chord7": "7", "chordDelta7": "^7", "chordM6": "m6", "chordM7": "m7",
             "chordMDelta7": "m^7", "chordM7-5": "m7(-5)", "chordDim": "dim", "chordDim7": "dim7", "chordM": "m",
             "chord-7-5": "-7(-5)", "chordM7Flat5": "m7(b5)", "chord-7Flat5": "-7(b5)", "chord-6": "-6",
             "chordMMaj7": "m(maj7)", "chord-Delta7": "-^7", "chord-maj7": "-maj7", "chordMaj7": "maj7",
             "chord-7": "-7"}
# Qualities set 3.5 lower than the root's line (they hang a descender below it).
QUALITY_DROPS = {"chordMMaj7": 3.5, "chord-maj7": 3.5, "chordMaj7": 3.5}


def qualities(out):
    for key, string in QUALITIES.items():
        s = chord_text(string, QUALITY_EM)
        s.anchor(s.ink_bounds()[0], QUALITY_DROPS.get(key, 0.0))
        out[key] = s
    # The minor sign is raised by 3.0 when set: its bounds start 3.0 above the baseline, its bar at
    # half the height of a capital.
    minus = chord_text("-", QUALITY_EM)
    b = minus.ink_bounds()
    minus = minus.moved(0, -CAP / 2 - (b[1] + b[3]) / 2)
    minus.anchor(minus.ink_bounds()[0], -3.0)
    out["chord-"] = minus
    circle = raised_circle(QUALITY_EM)
    out["chordCircle"] = Shape().add(circle).anchor(circle.ink_bounds()[0], 0.0)
    out["chordCircle7"] = with_figure(circle, "7", QUALITY_EM)
    # The half-diminished quality is set 1.5 lower: its figure stands 1.5 above its bounds' bottom.
    half = with_figure(raised_half_diminished(), "7", QUALITY_EM)
    half.anchor(half.ink_bounds()[0], 1.5)
    out["chordPhy"] = half


TENSION_KEYS = ["chordSus4", "chord+5", "chord6", "chord9", "chord11", "chord13", "chordOmit3", "chordSus4(9)",
                "chord-5", "chord6_9", "chord9(11)", "chord+11", "chord-13", "chordOmit5", "chordSus4(-9)",
                "chord+5(9)", "chord6_9(+11)", "chord9(+11)", "chord11(13)", "chord-9", "chord4", "chord-5(9)",
                "chord9(13)", "chord11(-13)", "chord+", "chord2", "chord+5(-9)", "chord9(-13)", "chord+11(13)",
                "chord-5(-9)", "chord-9(13)", "chord+11(-13)", "chord+5(+9)", "chord-9(-13)", "chord-5(+9)",
                "chord+9", "chord+9(-13)", "chordAdd9", "chordSus4(Flat9)", "chordAug", "chordSharp5",
                "chordFlat5", "chordAug(9)", "chordSharp5(9)", "chordFlat5(9)", "chordAug(-9)", "chordAug(Flat9)",
                "chordSharp5(Flat9)", "chordFlat5(Flat9)", "chordAug(+9)", "chordSharp5(Sharp9)",
                "chordAug(Sharp9)", "chordFlat5(Sharp9)", "chord6_9(Sharp11)", "chordFlat9", "chordSharp9",
                "chord9(Sharp11)", "chord9(Flat13)", "chordFlat9(13)", "chordFlat9(Flat13)", "chordSharp9(Flat13)",
                "chordSharp11", "chord11(Flat13)", "chordSharp11(13)", "chordSharp11(Flat13)", "chordFlat13"]


def tension_string(key):
    """How a tension key reads: added notes in parentheses ("(b9,13)"), words and the sixth, fifth,
    second and fourth plain ("sus4(9)", "+5", "6/9")."""
    s = key[len("chord"):]
    for a, b in [("Sharp", "#"), ("Flat", "b"), ("Aug", "aug"), ("Sus4", "sus4"), ("Add9", "add9"),
                 ("Omit", "omit"), ("6_9", "6/9")]:
        s = s.replace(a, b)
    head, _, tail = s.partition("(")
    tail = tail.rstrip(")")
    plain = head in ("sus4", "add9", "aug", "+5", "#5", "6", "6/9", "2", "4")
    if head.startswith("omit"):
        return "(" + head + ")"
    if plain:
        return head + ("(" + tail + ")" if tail else "")
    return "(" + head + ("," + tail if tail else "") + ")"


# Room before a tension that opens with a parenthesis: set right after the minor sign at the quality's
# size, as in "m(11)", the parenthesis needs what a letter would leave; 0.8 would nearly join them.
PAREN_PAD = 1.1


def tension_parentheses():
    """How far a tension's parentheses are raised, and how deep the font's own would reach. The font
    hangs them well below the figures; a tension's are centred on its figures instead, and the
    tension's bounds still reach as deep as the font's would. The figures stand where they stood, beside
    a root and over a quality, while an opening parenthesis stacked over a quality no longer dips to it."""
    paren = SANS.char("(", TENSION_EM)[0].ink_bounds()
    figure_middle = -0.729 * TENSION_EM / 2
    return (paren[1] + paren[3]) / 2 - figure_middle, paren[3]


def tensions(out):
    paren_lift, paren_depth = tension_parentheses()
    for key in TENSION_KEYS:
        if key == "chord6":
            continue  # the quality's file serves the sixth as a tension as well
        if key == "chord+":
            plus = chord_text("+", TENSION_EM)
            b = plus.ink_bounds()
            s = plus.moved(0, -CAP / 2 - (b[1] + b[3]) / 2)
            s.anchor(s.ink_bounds()[0] - 0.8, 0.0)
            out[key] = s
            continue
        string = tension_string(key)
        s = chord_text(string, TENSION_EM, paren_lift=paren_lift)
        if key.startswith("chordAug"):
            # Set 1.5 below the root's line when alone: the descenders are shortened to that depth
            # and the bounds end there, so that the word stands on the root's line.
            deepest = max(0.0, s.ink_bounds()[3])
            if deepest > 1.5:
                k = 1.5 / deepest
                s = s.map(lambda p: (p[0], p[1] * k if p[1] > 0 else p[1]))
            s.anchor(s.ink_bounds()[0] - 0.8, 1.5)
        elif string.startswith("("):
            s.anchor(s.ink_bounds()[0] - PAREN_PAD, paren_depth)
        else:
            s.anchor(s.ink_bounds()[0] - 0.8, paren_depth if "(" in string else 0.0)
        out[key] = s


def chord_signs(out):
    # The slash stands 2.0 above the root's line; the bar is what a bass is stacked under.
    h, w, t = 13.0, 6.2, 1.35
    out["chordSlash"] = polygon([(0, 0), (t, 0), (w, -h), (w - t, -h)])
    out["chordHyphen"] = rect(0, 0, 16.0, 1.1)


# ---------------------------------------------------------------------------------------------------


def all_glyphs():
    out = {}
    for make in (clefs, keys, times, barlines, repeat_wings, repeats, dynamics, octaves, tempos, pushes,
                 general_numbers, notes, roots, qualities, tensions, chord_signs):
        make(out)
    return out


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                                                "..", "resources")
    glyphs = all_glyphs()
    for key, shape in sorted(glyphs.items()):
        with open(os.path.join(folder, key + ".svg"), "w", encoding="utf-8") as f:
            f.write(svg(shape))
    print("%d glyphs written to %s" % (len(glyphs), os.path.normpath(folder)))


if __name__ == "__main__":
    main()
