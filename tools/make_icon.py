#!/usr/bin/env python3
"""Writes the program's window icon (16x16 and 32x32, 16 colours) as an .ico file.

The picture: a blue server box with a green arrow going out of it, drawn from a
small character map so that it can be regenerated and reviewed as text.
"""
import struct
import sys

# The 16-colour VGA palette, as the icon's colour table (B, G, R, 0).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
    (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
# Character to palette index; '.' is transparent.
COLOURS = {'k': 0, 'b': 4, 'B': 12, 'g': 2, 'G': 10, 'w': 15, 's': 7, 'd': 8, 'c': 14}

ICON16 = [
    "................",
    ".kkkkkkkkkkk....",
    ".kBBBBBBBBBk....",
    ".kBwwwwwwwBk....",
    ".kBbbbbbbbBk....",
    ".kBBBBBBBBBk....",
    ".kBsssssGBBk....",
    ".kBBBBBBBBBk....",
    ".kBwwwwwwwBkG...",
    ".kBbbbbbbbBkGG..",
    ".kBBBBBBGGGGGGG.",
    ".kBsssssGGGGGGGG",
    ".kBBBBBBGGGGGGG.",
    ".kkkkkkkkkkkGG..",
    "............G...",
    "................",
]


def scale(rows, factor):
    out = []
    for row in rows:
        wide = "".join(ch * factor for ch in row)
        out.extend([wide] * factor)
    return out


def bitmap(rows):
    size = len(rows)
    # 4-bit colour rows, bottom-up, each padded to 4 bytes.
    xor = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for x in range(0, size, 2):
            hi = COLOURS.get(row[x], 0)
            lo = COLOURS.get(row[x + 1], 0)
            line.append((hi << 4) | lo)
        while len(line) % 4:
            line.append(0)
        xor += line
    # 1-bit transparency mask rows, bottom-up, padded to 4 bytes.
    mask = bytearray()
    for row in reversed(rows):
        bits = 0
        line = bytearray()
        for x, ch in enumerate(row):
            bits = (bits << 1) | (1 if ch == '.' else 0)
            if x % 8 == 7:
                line.append(bits)
                bits = 0
        while len(line) % 4:
            line.append(0)
        mask += line
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, len(xor) + len(mask),
                         0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in PALETTE)
    return header + palette + bytes(xor) + bytes(mask)


def main(path):
    images = [bitmap(ICON16), bitmap(scale(ICON16, 2))]
    sizes = [16, 32]
    data = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(sizes, images):
        data += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    for image in images:
        data += image
    with open(path, 'wb') as f:
        f.write(data)


if __name__ == '__main__':
    main(sys.argv[1])
