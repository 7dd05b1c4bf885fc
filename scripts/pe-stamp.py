#!/usr/bin/env python3
"""Sets a PE image's time stamp, then its header checksum as the image loader computes it (the build's only writer of both)."""
import struct
import sys

USAGE = "usage: pe-stamp.py IMAGE SECONDS  (SECONDS since 1970, 0 to 4294967295)"


def checksum(image):
    """The loader's checksum: the image's 16-bit little-endian words (the checksum field
    counting as zero, an odd last byte padded with zero) added with end-around carry,
    plus the image's length."""
    padded = bytes(image) + b"\0" * (len(image) % 2)
    total = sum(word for (word,) in struct.iter_unpack("<H", padded))
    while total > 0xFFFF:
        total = (total & 0xFFFF) + (total >> 16)
    return (total + len(image)) & 0xFFFFFFFF


def header_offsets(image):
    """The offsets of the time stamp and the checksum; raises ValueError when IMAGE is no PE image."""
    if len(image) < 64 or image[:2] != b"MZ":
        raise ValueError("no MZ header")
    pe = struct.unpack_from("<I", image, 60)[0]
    # The checksum is 64 bytes into the optional header, in both the 32- and the 64-bit layout.
    if pe > len(image) - (24 + 68) or image[pe:pe + 4] != b"PE\0\0":
        raise ValueError("no PE header where the MZ header points")
    if struct.unpack_from("<H", image, pe + 24)[0] not in (0x10B, 0x20B):
        raise ValueError("an optional header of neither PE32 nor PE32+")
    return pe + 8, pe + 24 + 64


def main(argv):
    if len(argv) != 3 or not argv[2].isdigit() or len(argv[2]) > 10 or int(argv[2]) > 0xFFFFFFFF:
        print(USAGE, file=sys.stderr)
        return 2
    path, seconds = argv[1], int(argv[2])
    try:
        with open(path, "r+b") as file:
            image = bytearray(file.read())
            stamp_at, checksum_at = header_offsets(image)
            struct.pack_into("<I", image, stamp_at, seconds)
            struct.pack_into("<I", image, checksum_at, 0)
            struct.pack_into("<I", image, checksum_at, checksum(image))
            file.seek(0)
            file.write(image)
    except (OSError, ValueError) as error:
        print(f"pe-stamp.py: {path}: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
