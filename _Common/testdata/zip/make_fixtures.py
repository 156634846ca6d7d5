#!/usr/bin/env python3
"""Writes the zip reader's test archives into this folder.

Good archives come from independent tools: Python's zipfile and Info-ZIP's
zip. Damaged archives are written field by field, so that each one carries
exactly the fault its name says. Run from anywhere; the files are committed.
"""
import os
import shutil
import struct
import subprocess
import tempfile
import zipfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
DATE = (2021, 3, 4, 5, 6, 8)
UT_MTIME = 1600000000
TOOL_MTIME = 1500000000
TOOL_ATIME = 1500001234


def content(seed, size):
    """The bytes the C++ tests rebuild: numbered lines, cut to size."""
    out = bytearray()
    i = 0
    while len(out) < size:
        out += f"{seed} line {i:06d}\n".encode()
        i += 1
    return bytes(out[:size])


def path(name):
    return os.path.join(HERE, name)


def info(name, mode=None, extra=b"", compress=zipfile.ZIP_DEFLATED):
    zi = zipfile.ZipInfo(name, DATE)
    zi.create_system = 3
    zi.compress_type = compress
    zi.external_attr = ((mode if mode is not None else 0o100644) << 16)
    if name.endswith("/"):
        zi.external_attr |= 0x10
    zi.extra = extra
    return zi


def python_archives():
    with zipfile.ZipFile(path("python_entries.zip"), "w") as z:
        z.writestr(info("ten_thousand.bin"), content("a", 10000))
        z.writestr(info("empty.txt"), b"")
        z.writestr(info("stored.txt", compress=zipfile.ZIP_STORED), content("s", 3000))
        z.writestr(info("Mixed_Case.TXT"), content("m", 500))
        z.writestr(info("na\u00efve_\u00e9.txt"), content("u", 300))
        z.writestr(info("Dir/", mode=0o40755, compress=zipfile.ZIP_STORED), b"")
        z.writestr(info("Dir/nested.txt"), content("n", 700))
        z.writestr(info("readonly.txt", mode=0o100444), content("r", 100))
        z.writestr(info("writable.txt", mode=0o100644), content("w", 100))
        ut = b"UT" + struct.pack("<HBi", 5, 1, UT_MTIME)
        z.writestr(info("ut_mod_only.txt", extra=ut), content("t", 100))

    # Entries packed on a DOS-style host keep their attribute bits as they are.
    with zipfile.ZipFile(path("python_dos_host.zip"), "w") as z:
        for name, bits in (("hidden_readonly.txt", 0x23), ("system.txt", 0x24), ("plain.txt", 0x00)):
            zi = zipfile.ZipInfo(name, DATE)
            zi.create_system = 0
            zi.external_attr = bits
            z.writestr(zi, content("o", 50))

    small = tempfile.SpooledTemporaryFile()
    with zipfile.ZipFile(small, "w") as z:
        z.writestr(info("hello.txt"), content("h", 2000))
    small.seek(0)
    small_bytes = small.read()
    with open(path("python_prefixed.zip"), "wb") as f:
        f.write(b"P" * 1000 + small_bytes)
    with zipfile.ZipFile(path("python_comment65000.zip"), "w") as z:
        z.writestr(info("hello.txt"), content("h", 2000))
        z.comment = b"c" * 65000
    with open(path("far_end_record.zip"), "wb") as f:
        f.write(small_bytes + b"\0" * 65600)


def zip_tool_archives():
    work = tempfile.mkdtemp()
    try:
        def make(name, data):
            p = os.path.join(work, name)
            with open(p, "wb") as f:
                f.write(data)
            os.utime(p, (TOOL_ATIME, TOOL_MTIME))
        make("tool_a.txt", content("t", 20000))
        make("secret.txt", content("e", 10000))
        env = dict(os.environ, TZ="UTC")
        def run(*args, stdin=None):
            subprocess.run(args, cwd=work, env=env, check=True, input=stdin,
                           stdout=subprocess.DEVNULL)
        for name in ("zip_tool.zip", "zip_encrypted.zip", "zip_encrypted_stored.zip"):
            if os.path.exists(path(name)):
                os.remove(path(name))
        run("zip", "-q", "-z", path("zip_tool.zip"), "tool_a.txt", stdin=b"made by zip\n")
        run("zip", "-q", "-P", "secret", path("zip_encrypted.zip"), "secret.txt")
        run("zip", "-q", "-0", "-P", "secret", path("zip_encrypted_stored.zip"), "secret.txt")
    finally:
        shutil.rmtree(work)


def answer_password(args, cwd, password):
    """Runs a tool that asks for a password twice on its terminal."""
    import pty
    pid, fd = pty.fork()
    if pid == 0:
        os.chdir(cwd)
        os.execvp(args[0], args)
    seen = b""
    answered = 0
    while True:
        try:
            chunk = os.read(fd, 1024)
        except OSError:
            break
        if not chunk:
            break
        seen += chunk
        if seen.lower().count(b"password") > answered:
            answered += 1
            os.write(fd, password + b"\n")
    _, status = os.waitpid(pid, 0)
    if status != 0:
        raise RuntimeError("%s failed: %r" % (args[0], seen))


def zipcloak_archives():
    """Entries encrypted after packing: Info-ZIP's zipcloak knows their CRC,
    writes no data descriptor (flag bit 3 clear), so the check byte of the
    encryption header is the CRC's top byte rather than the DOS time's."""
    work = tempfile.mkdtemp()
    try:
        p = os.path.join(work, "secret.txt")
        with open(p, "wb") as f:
            f.write(content("e", 10000))
        os.utime(p, (TOOL_ATIME, TOOL_MTIME))
        env = dict(os.environ, TZ="UTC")
        for name, level in (("zip_cloaked.zip", "-6"), ("zip_cloaked_stored.zip", "-0")):
            if os.path.exists(path(name)):
                os.remove(path(name))
            subprocess.run(["zip", "-q", "-X", level, path(name), "secret.txt"], cwd=work, env=env,
                           check=True, stdout=subprocess.DEVNULL)
            answer_password(["zipcloak", path(name)], work, b"secret")
            with zipfile.ZipFile(path(name)) as z:
                zi = z.getinfo("secret.txt")
                assert zi.flag_bits & 0x9 == 0x1, hex(zi.flag_bits)
                assert (zi.CRC >> 24) != (zi._raw_time >> 8), "check bytes must differ"
                assert z.read("secret.txt", pwd=b"secret") == content("e", 10000)
    finally:
        shutil.rmtree(work)


# ---- damaged archives, written field by field ----

def raw_zip(entries, prefix=b"", eocd_overrides=None):
    """entries: dicts with name, data (the stored bytes), and optional header
    fields; local_method, local_crc, local_csize, local_usize and local_name
    give the local header other values than the central one."""
    out = bytearray(prefix)
    central = bytearray()
    for e in entries:
        name = e["name"].encode() if isinstance(e["name"], str) else e["name"]
        data = e["data"]
        method = e.get("method", 0)
        crc = e.get("crc", zlib.crc32(e.get("plain", data)))
        csize = e.get("csize", len(data))
        usize = e.get("usize", len(e.get("plain", data)))
        flags = e.get("flags", 0)
        local_extra = e.get("local_extra", b"")
        local_extra_len = e.get("local_extra_len", len(local_extra))
        offset = e.get("offset", len(out) - len(prefix))
        dostime, dosdate = 0x30c4, 0x5264  # 2021-03-04 06:06:08
        local_name = e.get("local_name", name)
        out += struct.pack("<IHHHHHIIIHH", 0x04034b50, 20, flags, e.get("local_method", method), dostime,
                           dosdate, e.get("local_crc", crc), e.get("local_csize", csize),
                           e.get("local_usize", usize), len(local_name), local_extra_len)
        out += local_name + local_extra + data
        central += struct.pack("<IHHHHHHIIIHHHHHII", 0x02014b50, 0x0314, 20, flags, method,
                               dostime, dosdate, crc, csize, usize, len(name), 0, 0, 0, 0,
                               0o100644 << 16, offset)
        central += name
    fields = dict(count=len(entries), size=len(central), offset=len(out) - len(prefix))
    fields.update(eocd_overrides or {})
    out_offset = len(out)
    out += central
    out += struct.pack("<IHHHHIIH", 0x06054b50, 0, 0, fields["count"], fields["count"],
                       fields["size"], fields["offset"], 0)
    assert out_offset >= 0
    return bytes(out)


def raw_deflate(data, finish=True):
    c = zlib.compressobj(9, zlib.DEFLATED, -15)
    return c.compress(data) + c.flush(zlib.Z_FINISH if finish else zlib.Z_SYNC_FLUSH)


def damaged_archives():
    plain = content("d", 10000)
    cases = {
        # A stored entry that claims more data than the file holds.
        "bad_stored_past_end.zip": raw_zip([dict(name="short.bin", data=plain[:100],
                                                 csize=50000, usize=50000)]),
        # A stored entry whose compressed bytes end before its uncompressed size.
        "bad_stored_short.zip": raw_zip([dict(name="short.bin", data=plain[:100],
                                              plain=plain[:5000])]),
        # A deflate stream that is never finished while more is promised.
        "bad_deflate_never_ends.zip": raw_zip([dict(name="endless.bin", method=8,
                                                    data=raw_deflate(plain, finish=False),
                                                    plain=plain, usize=1000000)]),
        # A finished deflate stream shorter than the stored size.
        "bad_deflate_short_stream.zip": raw_zip([dict(name="short.bin", method=8,
                                                      data=raw_deflate(plain[:100]),
                                                      plain=plain)]),
        # Deflate data that is not deflate at all.
        "bad_deflate_garbage.zip": raw_zip([dict(name="garbage.bin", method=8,
                                                 data=bytes((i * 97 + 13) & 0xff for i in range(3000)),
                                                 plain=plain)]),
        # The central directory offset points far outside the file.
        "bad_cd_outside.zip": raw_zip([dict(name="a.txt", data=b"abc")],
                                      eocd_overrides=dict(offset=0x7ffffff0)),
        # The directory claims 65535 entries and holds one.
        "bad_entry_count.zip": raw_zip([dict(name="a.txt", data=b"abc")],
                                       eocd_overrides=dict(count=65535)),
        # The local header lies outside the file.
        "bad_local_offset.zip": raw_zip([dict(name="a.txt", data=b"abc", offset=0x7fff0000)]),
        # The local extra field runs past the end of the file.
        "bad_local_extra.zip": raw_zip([dict(name="a.txt", data=b"abc", local_extra_len=60000)]),
        # A "UT" block whose size claims more than the extra field holds.
        "bad_ut_overrun.zip": raw_zip([dict(name="a.txt", data=b"abc",
                                            local_extra=b"UT" + struct.pack("<HBi", 200, 7, 5))]),
        # An extra block whose size carries the walk past the end of the field.
        "bad_extra_walk.zip": raw_zip([dict(name="a.txt", data=b"abc",
                                            local_extra=b"xx" + struct.pack("<H", 3) + b"\0\0")]),
        # Sizes at the top of the 32-bit range.
        "bad_huge_sizes.zip": raw_zip([dict(name="huge.bin", data=b"abc",
                                            csize=0xffffffff, usize=0xffffffff, flags=8)]),
        # An encrypted entry too short to hold its encryption header.
        "bad_encrypted_tiny.zip": raw_zip([dict(name="tiny.bin", data=b"abcde", flags=1)]),
        # A directory entry that would climb out of the root folder.
        "bad_dotdot_dir.zip": raw_zip([dict(name="../evil/", data=b""),
                                       dict(name="ok/../../evil2/", data=b"")]),
        # A name in the Korean ANSI code page, as the maker's packer stores it.
        "ansi_name.zip": raw_zip([dict(name="\ud55c\uae00.txt".encode("cp949"), data=b"korean")]),
        # Entry names of 255, 256 and 300 bytes.
        "long_names.zip": raw_zip([dict(name="n" * 255, data=b"255"),
                                   dict(name="n" * 256, data=b"256"),
                                   dict(name="x" * 300, data=b"300")]),
    }
    for name, data in cases.items():
        with open(path(name), "wb") as f:
            f.write(data)
    good = open(path("python_entries.zip"), "rb").read()
    with open(path("bad_truncated.zip"), "wb") as f:
        f.write(good[: len(good) * 6 // 10])
    # Flip bytes inside the deflated data of the first entry.
    damaged = bytearray(good)
    for i in range(80, 400, 7):
        damaged[i] ^= 0x5a
    with open(path("bad_flipped_data.zip"), "wb") as f:
        f.write(bytes(damaged))


def local_header_archives():
    """Entries whose local header disagrees with the central one in one field,
    and one with a data descriptor, whose local header may leave CRC and sizes
    at zero."""
    abc = dict(name="a.txt", data=b"abc")
    cases = {
        "bad_local_method.zip": dict(abc, local_method=8),
        "bad_local_crc.zip": dict(abc, local_crc=zlib.crc32(b"abd")),
        "bad_local_csize.zip": dict(abc, local_csize=2),
        "bad_local_usize.zip": dict(abc, local_usize=4),
        "bad_local_name_length.zip": dict(abc, local_name=b"ab.txt"),
        "local_descriptor_zeros.zip": dict(abc, flags=8, local_crc=0, local_csize=0, local_usize=0),
    }
    for name, entry in cases.items():
        with open(path(name), "wb") as f:
            f.write(raw_zip([entry]))


def first_silent_flip(archive, data_offset, data_size, usize):
    """The first byte of an entry's deflated data that, flipped, still inflates
    to usize bytes, only wrong ones: damage that only the CRC-32 can tell."""
    for i in range(data_offset, data_offset + data_size):
        damaged = bytearray(archive)
        damaged[i] ^= 0x01
        try:
            d = zlib.decompressobj(-15)
            out = d.decompress(bytes(damaged[data_offset:data_offset + data_size])) + d.flush()
        except zlib.error:
            continue
        if d.eof and len(out) == usize and zlib.crc32(out) != zlib.crc32(
                zlib.decompress(bytes(archive[data_offset:data_offset + data_size]), -15)):
            return bytes(damaged)
    raise RuntimeError("no silent flip found")


def entry_data(archive, name):
    """Offset and size of an entry's data in an archive made by a tool."""
    with zipfile.ZipFile(path(archive)) as z:
        zi = z.getinfo(name)
    raw = open(path(archive), "rb").read()
    h = zi.header_offset
    name_len, extra_len = struct.unpack("<HH", raw[h + 26:h + 30])
    return raw, h + 30 + name_len + extra_len, zi.compress_size, zi.file_size


def crc_damaged_archives():
    """Archives whose entry data is damaged in a way that still reads to the
    entry's full size: only the CRC-32 comparison refuses them."""
    with zipfile.ZipFile(path("crc_source_python.zip"), "w") as z:
        z.writestr(info("program.exe"), content("p", 20000))
        z.writestr(info("stored.bin", compress=zipfile.ZIP_STORED), content("q", 5000))
    raw, offset, size, usize = entry_data("crc_source_python.zip", "program.exe")
    with open(path("crc_flipped_deflated_python.zip"), "wb") as f:
        f.write(first_silent_flip(raw, offset, size, usize))
    raw, offset, size, usize = entry_data("crc_source_python.zip", "stored.bin")
    damaged = bytearray(raw)
    damaged[offset + 4000] ^= 0x01
    with open(path("crc_flipped_stored_python.zip"), "wb") as f:
        f.write(bytes(damaged))
    os.remove(path("crc_source_python.zip"))

    work = tempfile.mkdtemp()
    try:
        p = os.path.join(work, "program.exe")
        with open(p, "wb") as f:
            f.write(content("z", 20000))
        os.utime(p, (TOOL_ATIME, TOOL_MTIME))
        env = dict(os.environ, TZ="UTC")
        subprocess.run(["zip", "-q", "-X", path("crc_source_zip.zip"), "program.exe"], cwd=work,
                       env=env, check=True, stdout=subprocess.DEVNULL)
        # Written to a pipe, zip cannot seek back: it writes a data descriptor
        # and leaves the local header's CRC at zero.
        streamed = subprocess.run(["zip", "-q", "-X", "-", "program.exe"], cwd=work, env=env,
                                  check=True, stdout=subprocess.PIPE).stdout
        with open(path("crc_source_streamed.zip"), "wb") as f:
            f.write(streamed)
    finally:
        shutil.rmtree(work)
    for source, target in (("crc_source_zip.zip", "crc_flipped_deflated_zip.zip"),
                           ("crc_source_streamed.zip", "crc_flipped_descriptor_zip.zip")):
        raw, offset, size, usize = entry_data(source, "program.exe")
        with open(path(target), "wb") as f:
            f.write(first_silent_flip(raw, offset, size, usize))
        os.remove(path(source))
    with zipfile.ZipFile(path("crc_flipped_descriptor_zip.zip")) as z:
        assert z.getinfo("program.exe").flag_bits & 0x8, "the streamed entry has a data descriptor"

    # An empty entry whose stored CRC is not that of nothing.
    with open(path("crc_empty_wrong.zip"), "wb") as f:
        f.write(raw_zip([dict(name="empty.bin", data=b"", crc=0x12345678)]))


if __name__ == "__main__":
    python_archives()
    zip_tool_archives()
    zipcloak_archives()
    damaged_archives()
    local_header_archives()
    crc_damaged_archives()
