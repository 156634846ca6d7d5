#!/usr/bin/env python3
"""Writes the starter's unpack test archive into this folder.

oversized_entry.zip holds one deflated entry of zeros whose size, 2 GiB and
more, does not fit the reader's signed size field; the zeros keep the file at
about 2 MB. Python's zipfile would switch to Zip64 at that size, so the
headers are written field by field with the zip reader's fixture maker, and
zipfile then reads the whole entry back (sizes and CRC) as the reference.
Run from anywhere; the file is committed.
"""
import os
import sys
import zipfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "..", "_Common", "testdata", "zip"))
from make_fixtures import raw_zip  # noqa: E402

ENTRY = "Lumora1.exe"
SIZE = 2 ** 31 + 100
CHUNK = 64 * 2 ** 20


def deflated_zeros(size):
    """The raw deflate stream and the CRC of size zero bytes."""
    packer = zlib.compressobj(9, zlib.DEFLATED, -15)
    zeros = bytes(CHUNK)
    data = bytearray()
    crc = 0
    left = size
    while left:
        piece = zeros[:min(left, CHUNK)]
        data += packer.compress(piece)
        crc = zlib.crc32(piece, crc)
        left -= len(piece)
    data += packer.flush()
    return bytes(data), crc


def check(path):
    with zipfile.ZipFile(path) as z:
        info = z.getinfo(ENTRY)
        assert info.file_size == SIZE, info.file_size
        read = 0
        with z.open(ENTRY) as entry:  # zipfile checks the CRC at the end
            while True:
                piece = entry.read(CHUNK)
                if not piece:
                    break
                assert piece.count(0) == len(piece)
                read += len(piece)
        assert read == SIZE, read


def main():
    data, crc = deflated_zeros(SIZE)
    path = os.path.join(HERE, "oversized_entry.zip")
    with open(path, "wb") as f:
        f.write(raw_zip([dict(name=ENTRY, method=8, data=data, crc=crc, usize=SIZE)]))
    check(path)


if __name__ == "__main__":
    main()
