#!/usr/bin/env python3
"""Checks the picture of sdl_smoke's window in an xwd dump: 800x600, the four coloured quarters, the two
corner blocks, and no magenta from outside the window's part of the desktop."""
import struct
import sys

EXPECTED = [  # (x, y, (red, green, blue))
    (0, 0, (255, 255, 0)), (7, 7, (255, 255, 0)), (8, 8, (255, 0, 0)), (399, 299, (255, 0, 0)),
    (400, 0, (0, 255, 0)), (799, 299, (0, 255, 0)), (0, 300, (0, 0, 255)), (399, 599, (0, 0, 255)),
    (400, 300, (255, 255, 255)), (791, 599, (255, 255, 255)), (792, 592, (0, 255, 255)),
    (799, 599, (0, 255, 255)),
]


def read_xwd(path):
    data = open(path, "rb").read()
    header = struct.unpack(">25I", data[:100])
    header_size, _, pixmap_format, depth, width, height = header[:6]
    byte_order, bits_per_pixel, bytes_per_line = header[7], header[11], header[12]
    masks = header[14:17]
    colours = header[19]
    if pixmap_format != 2 or bits_per_pixel not in (24, 32):
        raise SystemExit(f"unexpected xwd format {pixmap_format}, {bits_per_pixel} bits (depth {depth})")
    start = header_size + colours * 12
    step = bits_per_pixel // 8
    order = "<" if byte_order == 0 else ">"

    def pixel(x, y):
        at = start + y * bytes_per_line + x * step
        raw = data[at:at + step] + (b"\0" if step == 3 else b"")
        value = struct.unpack(order + "I", raw)[0]
        channels = []
        for mask in masks:
            shift = (mask & -mask).bit_length() - 1
            top = mask >> shift
            channels.append(((value & mask) >> shift) * 255 // top)
        return tuple(channels)

    return width, height, pixel


def main():
    width, height, pixel = read_xwd(sys.argv[1])
    if (width, height) != (800, 600):
        raise SystemExit(f"window is {width}x{height}, expected 800x600")
    bad = []
    for x, y, want in EXPECTED:
        got = pixel(x, y)
        if any(abs(g - w) > 8 for g, w in zip(got, want)):
            bad.append(f"({x},{y}) is {got}, expected {want}")
    for y in range(0, 600, 7):
        for x in range(0, 800, 7):
            r, g, b = pixel(x, y)
            if r > 200 and b > 200 and g < 60:
                bad.append(f"({x},{y}) shows the desktop outside the window")
                break
    if bad:
        raise SystemExit("window picture wrong:\n  " + "\n  ".join(bad[:10]))
    print("window picture OK")


main()
