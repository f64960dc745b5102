#!/usr/bin/env python3
"""Packs raw RGB images into a .ico whose every image is an 8-bit (256-colour) bitmap.

Usage: pack-icon.py OUT.ico SIZE:FILE.rgb [SIZE:FILE.rgb ...]
"""
import struct
import sys


def palette_image(size, rgb):
    pixels = [rgb[i:i + 3] for i in range(0, len(rgb), 3)]
    colours = sorted(set(pixels))
    if len(colours) > 256:
        sys.exit(f"{size}x{size}: {len(colours)} colours, at most 256 fit")
    index = {c: i for i, c in enumerate(colours)}
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    palette = b"".join(bytes((c[2], c[1], c[0], 0)) for c in colours)
    palette += b"\0" * 4 * (256 - len(colours))
    # Bottom-up rows; 8-bit rows of 16 or 32 pixels need no padding.
    xor = b"".join(bytes(index[p] for p in pixels[row * size:(row + 1) * size])
                   for row in reversed(range(size)))
    and_row = ((size + 31) // 32) * 4
    opaque = b"\0" * and_row * size
    return header + palette + xor + opaque


def main():
    out, *images_given = sys.argv[1:]
    images = []
    for given in images_given:
        size, path = given.split(":", 1)
        with open(path, "rb") as f:
            images.append((int(size), palette_image(int(size), f.read())))
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in images:
        data += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 8, len(image), offset)
        offset += len(image)
    data += b"".join(image for _, image in images)
    with open(out, "wb") as f:
        f.write(data)


main()
