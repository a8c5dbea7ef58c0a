#!/usr/bin/env python3
"""Checks on a screenshot that the grid and the actual-size icon show the same picture.

Usage: canvas_agrees.py WIDTH HEIGHT BACK_RGB < raw RGB bytes of the screenshot

The icon's pixel (0, 0) is opaque magenta: on screen it is the one magenta pixel alone and, on
the grid, the top left of an 8 x 8 magenta square. A cell's top-left quarter shows its pixel
over the light grey of the checkerboard and its top-right quarter over the darker grey, so the
two give the pixel's alpha and colour, and with them what the icon shows over its back colour.
Prints what disagrees; exits 0 when all 1024 pixels agree within rounding.
"""
import sys

LIGHT, DARK = 230, 153
MAGENTA = (255, 0, 255)
SLACK = 3


def main():
    width, height = int(sys.argv[1]), int(sys.argv[2])
    back = tuple(int(sys.argv[3][i:i + 2], 16) for i in (0, 2, 4))
    raw = sys.stdin.buffer.read()

    def at(x, y):
        i = 3 * (y * width + x)
        return tuple(raw[i:i + 3])

    magenta = {(i // 3 % width, i // 3 // width)
               for i in range(0, len(raw) - 2, 3) if tuple(raw[i:i + 3]) == MAGENTA}
    alone = [p for p in magenta
             if not {(p[0] + 1, p[1]), (p[0] - 1, p[1]), (p[0], p[1] + 1), (p[0], p[1] - 1)}
             & magenta]
    squares = [p for p in magenta
               if (p[0] - 1, p[1]) not in magenta and (p[0], p[1] - 1) not in magenta
               and all((p[0] + dx, p[1] + dy) in magenta for dx in range(8) for dy in range(8))]
    if len(alone) != 1 or len(squares) != 1:
        print(f"# cannot find the icon ({len(alone)}) and the grid ({len(squares)})")
        return 1
    (ix, iy), (gx, gy) = alone[0], squares[0]
    bad = 0
    for y in range(32):
        for x in range(32):
            light = at(gx + 10 * x, gy + 10 * y)
            dark = at(gx + 10 * x + 7, gy + 10 * y)
            shown = at(ix + x, iy + y)
            # light - dark = (1 - alpha) * (LIGHT - DARK), the same in every channel.
            clear = sum(l - d for l, d in zip(light, dark)) / (3.0 * (LIGHT - DARK))
            want = tuple(l + (b - LIGHT) * clear for l, b in zip(light, back))
            if any(abs(w - s) > SLACK for w, s in zip(want, shown)):
                bad += 1
                if bad <= 5:
                    print(f"# pixel {x},{y}: grid {light} {dark}, icon {shown}, expected "
                          f"{tuple(round(w) for w in want)}")
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
