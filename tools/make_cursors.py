#!/usr/bin/python3
"""Writes the five resize and rotate cursor images: black arrows with a white rim, 16 x 16 pixels, their
hot spot (7, 7) in the middle of the arrow.

    tools/make_cursors.py [output folder]      (default: resources/ beside this folder)

Needs: python3-pil.
"""

import math
import os
import sys

from PIL import Image, ImageDraw

SIZE = 16
OVER = 8  # drawn this many times larger, then reduced, for smooth edges
CENTRE = (7.5, 7.5)  # the middle of pixel (7, 7)


def double_arrow(angle):
    """Outline of a two-headed arrow through the centre, turned by `angle` degrees."""
    shaft, head, length, half_head = 0.9, 3.0, 6.6, 3.3
    pts = [(-length, 0), (-length + head, -half_head), (-length + head, -shaft), (length - head, -shaft),
           (length - head, -half_head), (length, 0), (length - head, half_head), (length - head, shaft),
           (-length + head, shaft), (-length + head, half_head)]
    return turn(pts, angle)


def turn(pts, angle):
    a = math.radians(angle)
    c, s = math.cos(a), math.sin(a)
    return [(CENTRE[0] + x * c - y * s, CENTRE[1] + x * s + y * c) for x, y in pts]


def rotate_arrow():
    """A three-quarter circle with a head at its end."""
    outer, inner = 6.0, 4.2
    start, end = 200, 450
    pts = []
    steps = 40
    for i in range(steps + 1):
        a = math.radians(start + (end - start) * i / steps)
        pts.append((math.cos(a) * outer, math.sin(a) * outer))
    tip_a = math.radians(end)
    mid = (outer + inner) / 2
    # head at the end of the arc, pointing along it
    tangent = (-math.sin(tip_a), math.cos(tip_a))
    normal = (math.cos(tip_a), math.sin(tip_a))
    base = (normal[0] * mid, normal[1] * mid)
    pts += [(base[0] + normal[0] * 2.6, base[1] + normal[1] * 2.6),
            (base[0] + tangent[0] * 3.2, base[1] + tangent[1] * 3.2),
            (base[0] - normal[0] * 2.6, base[1] - normal[1] * 2.6)]
    for i in range(steps, -1, -1):
        a = math.radians(start + (end - start) * i / steps)
        pts.append((math.cos(a) * inner, math.sin(a) * inner))
    return turn(pts, 0)


def render(outline):
    big = Image.new("RGBA", (SIZE * OVER, SIZE * OVER), (0, 0, 0, 0))
    draw = ImageDraw.Draw(big)
    scaled = [(x * OVER, y * OVER) for x, y in outline]
    # the white rim: the outline stroked wide, then the black arrow over it
    draw.line(scaled + [scaled[0]], fill=(255, 255, 255, 255), width=int(2.0 * OVER), joint="curve")
    draw.polygon(scaled, fill=(255, 255, 255, 255))
    draw.polygon(scaled, fill=(0, 0, 0, 255))
    return big.resize((SIZE, SIZE), Image.LANCZOS)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                                                "..", "resources")
    cursors = {"cursorRightDown": double_arrow(45), "cursorRightUp": double_arrow(-45),
               "cursorUpDown": double_arrow(90), "cursorLeftRight": double_arrow(0), "cursorRotate": rotate_arrow()}
    for name, outline in cursors.items():
        render(outline).save(os.path.join(folder, name + ".png"))
    print("%d cursors written to %s" % (len(cursors), os.path.normpath(folder)))


if __name__ == "__main__":
    main()
