#!/usr/bin/python3
"""Writes res/quillane.ico: a glider on a 3 x 3 board, at 32 x 32 and 16 x 16.

Both images are 16-colour BMPs with an AND mask, so the icon looks the same on
every Windows version. The output depends on nothing but this file; run it again
after a change and commit the result.
"""
import os
import struct
import sys

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_BLUE, LIGHT_GREY, BRIGHT_BLUE, WHITE = 0, 4, 7, 12, 15

# Top row first; True is a live cell.
GLIDER = [
    [False, True, False],
    [False, False, True],
    [True, True, True],
]


def cell_colour(live, on_border, large):
    """Border and interior colours differ between the two sizes."""
    if not live:
        return LIGHT_GREY if on_border else WHITE
    if large:
        return BRIGHT_BLUE if on_border else DARK_BLUE
    return DARK_BLUE if on_border else BRIGHT_BLUE


def large_image():
    """32 x 32: black lines at 0, 10, 20, 30 frame 9 x 9 cells.

    Returns (pixels, transparent), each a list of rows, top row first.
    """
    size, pitch = 32, 10
    pixels = [[BLACK] * size for _ in range(size)]
    transparent = [[False] * size for _ in range(size)]
    for y in range(size):
        for x in range(size):
            if x == size - 1 or y == size - 1:
                transparent[y][x] = True  # colour stays black, as the mask needs
            elif x % pitch == 0 or y % pitch == 0:
                pixels[y][x] = BLACK
            else:
                u, v = x % pitch, y % pitch
                on_border = u in (1, pitch - 1) or v in (1, pitch - 1)
                pixels[y][x] = cell_colour(GLIDER[y // pitch][x // pitch], on_border, True)
    return pixels, transparent


def small_image():
    """16 x 16: 5 x 5 cells side by side, the last column and row light grey."""
    size, pitch = 16, 5
    pixels = [[LIGHT_GREY] * size for _ in range(size)]
    transparent = [[False] * size for _ in range(size)]
    for y in range(size - 1):
        for x in range(size - 1):
            u, v = x % pitch, y % pitch
            on_border = u in (0, pitch - 1) or v in (0, pitch - 1)
            pixels[y][x] = cell_colour(GLIDER[y // pitch][x // pitch], on_border, False)
    return pixels, transparent


def padded(row_bytes):
    """BMP rows are padded to whole 32-bit words."""
    return row_bytes + b"\0" * (-len(row_bytes) % 4)


def bmp_data(pixels, transparent):
    """BITMAPINFOHEADER, palette, 4-bit colour rows, then the 1-bit AND mask, bottom row first."""
    size = len(pixels)
    colour = b""
    mask = b""
    for y in reversed(range(size)):
        row = pixels[y]
        colour += padded(bytes((row[x] << 4) | row[x + 1] for x in range(0, size, 2)))
        bits = bytearray(size // 8)
        for x in range(size):
            if transparent[y][x]:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += padded(bytes(bits))
    # The height counts both the colour and the mask rows.
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0,
                         len(colour) + len(mask), 0, 0, 0, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + colour + mask


def icon_file(images):
    """ICONDIR, one ICONDIRENTRY per image, then the images in the same order."""
    blobs = [(len(pixels), bmp_data(pixels, transparent)) for pixels, transparent in images]
    out = struct.pack("<HHH", 0, 1, len(blobs))
    offset = 6 + 16 * len(blobs)
    for size, blob in blobs:
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(blob), offset)
        offset += len(blob)
    return out + b"".join(blob for _, blob in blobs)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "res", "quillane.ico")
    with open(target, "wb") as f:
        f.write(icon_file([large_image(), small_image()]))


if __name__ == "__main__":
    main()
