#!/usr/bin/env python3
"""Whether each button's caption lies well inside its button, at the size the
screen's DPI asks for: a screenshot (binary PPM) of the window, its DPI, and
where the drawing area starts in it. The caption is the dark ink in the
button, leaving out the edge where the frame and the focus rectangle are
drawn; it must be at least 6 units high and at least 6 units from every side
(a unit is a pixel at 96 DPI). Says what it found; exit status 1 if any
caption is missing, too small or crowding its button.
Usage: captions.py shot.ppm dpi dx dy"""
import re
import sys

# The buttons in the drawing area, in units from its top left: x, y, width, height.
BUTTONS = {
    "Make Logo": (4, 104, 100, 32),
    "Ok Logo": (248, 104, 100, 32),
    "Color 1": (4, 60, 100, 30),
    "Color 2": (248, 60, 100, 30),
}


def read_ppm(path):
    with open(path, "rb") as f:
        data = f.read()
    header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", data)
    if not header:
        raise SystemExit(f"{path}: not an 8-bit binary PPM")
    return int(header[1]), int(header[2]), data[header.end():]


def main():
    path, dpi, dx, dy = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
    width, height, pixels = read_ppm(path)

    def scaled(units):  # as the window scales its units (MulDiv, rounded)
        return (units * dpi * 2 + 96) // 192

    edge = max(scaled(4), 4)
    good = True
    for name, (x, y, w, h) in BUTTONS.items():
        x0, y0, x1, y1 = dx + scaled(x), dy + scaled(y), dx + scaled(x + w), dy + scaled(y + h)
        if x1 > width or y1 > height:
            print(f"{name}: outside the screenshot")
            good = False
            continue
        ink = [(i, j) for j in range(y0 + edge, y1 - edge) for i in range(x0 + edge, x1 - edge)
               if max(pixels[(j * width + i) * 3:(j * width + i) * 3 + 3]) < 110]
        if not ink:
            print(f"{name}: no caption")
            good = False
            continue
        left, top = min(i for i, _ in ink), min(j for _, j in ink)
        right, bottom = max(i for i, _ in ink) + 1, max(j for _, j in ink) + 1
        margins = (left - x0, top - y0, x1 - right, y1 - bottom)
        fits = bottom - top >= scaled(6) and min(margins) >= scaled(6)
        print(f"{name}: caption {right - left} x {bottom - top}, from the sides {margins}: "
              f"{'inside' if fits else 'NOT well inside'}")
        good &= fits
    return 0 if good else 1


if __name__ == "__main__":
    sys.exit(main())
