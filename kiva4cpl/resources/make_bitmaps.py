#!/usr/bin/env python3
"""Draws the three 48 x 48, 16-colour bitmaps of the calibration button (normal, pressed,
focused) and writes them as BMP files beside this script. Run it again after changing the art."""
import os
import struct

SIZE = 48
# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, NAVY, SILVER, GREY, YELLOW, BLUE, WHITE = 0, 4, 7, 8, 11, 12, 15


def blank():
    return [[SILVER] * SIZE for _ in range(SIZE)]


def rect(img, x0, y0, x1, y1, colour):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            img[y][x] = colour


def frame(img, x0, y0, x1, y1, colour):
    for x in range(x0, x1 + 1):
        img[y0][x] = img[y1][x] = colour
    for y in range(y0, y1 + 1):
        img[y][x0] = img[y][x1] = colour


def edges(img, pressed):
    light, dark, shadow = (BLACK, GREY, WHITE) if pressed else (WHITE, GREY, BLACK)
    last = SIZE - 1
    for i in range(SIZE):
        img[0][i] = img[i][0] = light
        img[last][i] = img[i][last] = shadow
    for i in range(1, last):
        img[last - 1][i] = img[i][last - 1] = GREY if not pressed else SILVER
        if pressed:
            img[1][i] = img[i][1] = dark


def monitor(img, dx, dy):
    # Cabinet and screen
    rect(img, 9 + dx, 7 + dy, 38 + dx, 31 + dy, GREY)
    frame(img, 9 + dx, 7 + dy, 38 + dx, 31 + dy, BLACK)
    rect(img, 12 + dx, 10 + dy, 35 + dx, 28 + dy, BLACK)
    # The calibration pattern in small: checkerboard rows between solid grey rows.
    for y in range(11, 28):
        band = (y - 11) // 3
        for x in range(13, 35):
            if band % 2 == 0:
                colour = WHITE if (x + y) % 2 == 0 else BLACK
            else:
                colour = GREY
            img[y + dy][x + dx] = colour
    # Stand and foot
    rect(img, 20 + dx, 32 + dy, 27 + dx, 33 + dy, GREY)
    rect(img, 15 + dx, 34 + dy, 32 + dx, 35 + dy, GREY)
    frame(img, 15 + dx, 34 + dy, 32 + dx, 35 + dy, BLACK)
    # A slider underneath: the track and its knob.
    for x in range(11, 37):
        img[40 + dy][x + dx] = BLACK
        img[41 + dy][x + dx] = WHITE
    rect(img, 26 + dx, 37 + dy, 28 + dx, 43 + dy, NAVY)
    frame(img, 26 + dx, 37 + dy, 28 + dx, 43 + dy, BLUE)
    img[38 + dy][27 + dx] = YELLOW


def focus(img):
    # The dotted focus rectangle of a button that has the keyboard focus.
    lo, hi = 4, SIZE - 5
    for i in range(lo, hi + 1):
        if i % 2 == 0:
            img[lo][i] = img[hi][i] = BLACK
            img[i][lo] = img[i][hi] = BLACK


def write_bmp(path, img):
    row_bytes = SIZE // 2
    pixels = bytearray()
    for y in range(SIZE - 1, -1, -1):  # bottom-up
        row = img[y]
        for x in range(0, SIZE, 2):
            pixels.append((row[x] << 4) | row[x + 1])
    assert len(pixels) == row_bytes * SIZE
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    offset = 14 + 40 + len(palette)
    info = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 4, 0, len(pixels), 2835, 2835, 16, 16)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    with open(path, "wb") as out:
        out.write(header + info + palette + pixels)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    normal = blank()
    edges(normal, pressed=False)
    monitor(normal, 0, 0)

    pressed = blank()
    edges(pressed, pressed=True)
    monitor(pressed, 1, 1)

    focused = blank()
    edges(focused, pressed=False)
    monitor(focused, 0, 0)
    focus(focused)

    write_bmp(os.path.join(here, "calibrate_normal.bmp"), normal)
    write_bmp(os.path.join(here, "calibrate_pressed.bmp"), pressed)
    write_bmp(os.path.join(here, "calibrate_focused.bmp"), focused)


if __name__ == "__main__":
    main()
