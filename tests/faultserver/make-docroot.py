#!/usr/bin/env python3
"""Writes the files that the HTTP tests fetch from nginx into a folder.

Every file holds the block pattern: each 4096-byte block starts with its own
byte offset (8 bytes, little-endian) followed by 4088 filler bytes
filler(j) = (j * 131 + 7) % 256, so that a reader can tell any lost,
doubled or shifted byte. "sparse5g.bin" is a sparse file of 5 GiB whose last
MiB holds the pattern of those offsets and whose rest reads as zero bytes.

    make-docroot.py <folder> [<big file MiB>]
"""

import os
import struct
import sys

BLOCK = 4096
FILLER = bytes((j * 131 + 7) % 256 for j in range(BLOCK - 8))


def pattern(offset, length):
    """The pattern bytes of [offset, offset + length), offset a block start."""
    blocks = []
    for start in range(offset, offset + length, BLOCK):
        blocks.append(struct.pack("<Q", start) + FILLER)
    return b"".join(blocks)[:length]


def write_if_changed(path, size, writer):
    if os.path.exists(path) and os.path.getsize(path) == size:
        return
    with open(path + ".part", "wb") as f:
        writer(f)
    os.replace(path + ".part", path)


def main(argv):
    root = argv[1]
    big_mib = int(argv[2]) if len(argv) > 2 else 256
    os.makedirs(os.path.join(root, "dir"), exist_ok=True)
    write_if_changed(os.path.join(root, "small.bin"), 100000, lambda f: f.write(pattern(0, 100000)))
    write_if_changed(os.path.join(root, "empty.bin"), 0, lambda f: None)

    def big(f):
        chunk = 1 << 20
        for offset in range(0, big_mib << 20, chunk):
            f.write(pattern(offset, chunk))
    write_if_changed(os.path.join(root, "big.bin"), big_mib << 20, big)

    size = 5 << 30
    tail = 1 << 20

    def sparse(f):
        f.truncate(size)
        f.seek(size - tail)
        f.write(pattern(size - tail, tail))
    write_if_changed(os.path.join(root, "sparse5g.bin"), size, sparse)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
