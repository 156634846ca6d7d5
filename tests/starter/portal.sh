#!/usr/bin/env bash
# Local portal for the starter's scenarios and the demo: makes the archives
# from the built programs and serves them with nginx on loopback.
#   portal.sh start <state folder> <port> <newer starter exe> <stand-in wizard exe> <foreign port> <fault port>
#   portal.sh stop  <state folder>
# Served (document root <state folder>/www):
#   /web/ZKStarter/Pelto/Lumora1_1.0.0.9.zip   the newer starter as Lumora1.exe
#   /web/ZKStarter/Pelto/Tesselo1_2.0.0.1.zip  the stand-in wizard, entry named TESSELO1.EXE
#   /web/ZKStarter/Pelto/Tesselo1_2.0.0.7.zip  an archive without the wizard entry
#   /web/ZKStarter/Pelto/Tesselo1_2.0.0.8.zip  a damaged archive (deflate data of a reserved block type)
#   /web/ZKStarter/Pelto/Tesselo1_2.0.0.2.zip  the stand-in wizard in an archive of a multiple of 4096 bytes
#   /web/ZKStarter/Pelto/Tesselo1_2.0.0.3.zip  the stand-in wizard, for an update over an installed 2.0.0.1
#   /web/ZKStarter/Pelto/Tesselo1_2.0.0.4.zip  the stand-in wizard with one byte of its deflate data changed
#   /web/ZKStarter/Pelto/Tesselo1_2.0.0.6.zip  an entry that inflates to 96 MiB of zeros
#   /web/ZKStarter/Pelto/Lumora1_1.0.1.0.zip   the newer starter (1.0.0.9), below the version it is served for
#   /custom/Pelto/Tesselo1_2.0.0.1.zip         the stand-in wizard, for CustomUpdateURL
#   /web/ZKStarter/moved/...                   302 to the same path under the foreign portal's /evil/
# A foreign portal (a second nginx on <foreign port>, state <state folder>/foreign)
# serves the newer starter and the stand-in under /evil/Pelto/ as 9.9.9.9 (and
# 1.0.0.9) and 2.0.0.1. A hostile server (the fault server on <fault port>, state
# <state folder>/hostile) answers every archive under /<case>/Pelto/:
#   endless    a body without end and without Content-Length
#   grows      an archive of 30 KB ("served.zip", entries Lumora1.exe and
#              Tesselo1.exe that are no programs) without Content-Length
#   drip       the same archive with its Content-Length, one byte a second
#   silent     the same archive's header with its Content-Length, then
#              nothing for two minutes
#   headers    a status line, then a header line every quarter second for
#              100 seconds
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
verb=$1 state=$2
case "$verb" in
  start)
    port=$3 newer=$4 standin=$5 foreign_port=$6 fault_port=$7
    www="$state/www" foreign_www="$state/foreign-www"
    rm -rf "$www" "$foreign_www"
    mkdir -p "$www/web/ZKStarter/Pelto" "$www/custom/Pelto" "$foreign_www/evil/Pelto" "$state/hostile"
    python3 - "$www" "$newer" "$standin" "$foreign_www" "$state/hostile" <<'PY'
import json, sys, zipfile, zlib
www, newer, standin, foreign, hostile = sys.argv[1:6]
pelto = www + "/web/ZKStarter/Pelto/"
def pack(path, entries):
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        for name, source in entries:
            z.write(source, name)
pack(pelto + "Lumora1_1.0.0.9.zip", [("Lumora1.exe", newer)])
pack(pelto + "Tesselo1_2.0.0.1.zip", [("TESSELO1.EXE", standin)])
pack(www + "/custom/Pelto/Tesselo1_2.0.0.1.zip", [("Tesselo1.exe", standin)])
pack(pelto + "Tesselo1_2.0.0.3.zip", [("Tesselo1.exe", standin)])
pack(pelto + "Tesselo1_2.0.0.7.zip", [("Other.exe", standin)])
# An archive whose size is a multiple of 4096: the body ends with a read of 0 bytes.
even = pelto + "Tesselo1_2.0.0.2.zip"
pack(even, [("Tesselo1.exe", standin)])
size = len(open(even, "rb").read())
with zipfile.ZipFile(even, "a") as z:
    z.comment = b"x" * ((-size) % 4096)
assert len(open(even, "rb").read()) % 4096 == 0
# A damaged archive: the central directory is intact, the deflate data starts
# with a block of the reserved type, which inflate refuses.
data = open(standin, "rb").read()
with zipfile.ZipFile(pelto + "Tesselo1_2.0.0.8.zip", "w", zipfile.ZIP_DEFLATED) as z:
    z.writestr("Tesselo1.exe", data)
raw = bytearray(open(pelto + "Tesselo1_2.0.0.8.zip", "rb").read())
start = 30 + len("Tesselo1.exe")
raw[start] = 0x06
open(pelto + "Tesselo1_2.0.0.8.zip", "wb").write(bytes(raw))

pack(pelto + "Lumora1_1.0.1.0.zip", [("Lumora1.exe", newer)])
pack(foreign + "/evil/Pelto/Lumora1_9.9.9.9.zip", [("Lumora1.exe", newer)])
pack(foreign + "/evil/Pelto/Lumora1_1.0.0.9.zip", [("Lumora1.exe", newer)])
pack(foreign + "/evil/Pelto/Tesselo1_2.0.0.1.zip", [("Tesselo1.exe", standin)])

# One changed byte of the deflate data that still inflates to as many bytes
# without an error: only the CRC-32 tells the damage.
flipped = pelto + "Tesselo1_2.0.0.4.zip"
with zipfile.ZipFile(flipped, "w", zipfile.ZIP_DEFLATED) as z:
    z.writestr("Tesselo1.exe", data)
    size = z.infolist()[0].compress_size
raw = bytearray(open(flipped, "rb").read())
for at in range(start + size // 2, start + size):
    changed = bytearray(raw[start:start + size])
    changed[at - start] ^= 0x10
    inflate = zlib.decompressobj(-15)
    try:
        out = inflate.decompress(bytes(changed))
    except zlib.error:
        continue
    if inflate.eof and len(out) == len(data) and out != data:
        raw[at] ^= 0x10
        break
else:
    sys.exit("no byte of the deflate data can be changed unnoticed")
open(flipped, "wb").write(bytes(raw))
assert zipfile.ZipFile(flipped).testzip() == "Tesselo1.exe"  # Python's reader sees the damage too

# A small archive whose entry inflates to 96 MiB.
with zipfile.ZipFile(pelto + "Tesselo1_2.0.0.6.zip", "w", zipfile.ZIP_DEFLATED) as z:
    with z.open("Tesselo1.exe", "w") as entry:
        block = bytes(1 << 20)
        for _ in range(96):
            entry.write(block)

# The hostile server's answers. The served archive holds no program: where
# it is taken, it shows.
served = hostile + "/served.zip"
with zipfile.ZipFile(served, "w", zipfile.ZIP_STORED) as z:
    for name in ("Lumora1.exe", "Tesselo1.exe"):
        z.writestr(name, bytes((i * 7 + i // 251) % 256 for i in range(15000)))
body = open(served, "rb").read().decode("latin-1")
announced = "HTTP/1.1 200 OK\r\nContent-Length: %d\r\nConnection: close\r\n\r\n" % len(body)
cases = {
    "endless": {"reply": ["HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n"], "flood": 1 << 40},
    "grows": {"reply": ["HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n", body]},
    "drip": {"reply": [announced, body], "drip_after": len(announced), "drip_ms": 1000},
    "silent": {"reply": [announced, body], "stall_after": len(announced), "stall_ms": 120000},
    "headers": {"reply": ["HTTP/1.1 200 OK\r\n", {"repeat": "X-Wait: 1\r\n", "count": 400}, announced[17:], body],
                "drip_after": 17, "drip_ms": 250, "drip_lines": True},
}
with open(hostile + "/cases.json", "w") as f:
    json.dump({"cases": cases}, f)
PY
    "$here/../peers/nginx-ctl" start "$state/foreign" "$foreign_port" "$foreign_www"
    python3 "$here/../faultserver/faultserver.py" start "$state/hostile" "$fault_port" "$state/hostile/cases.json"
    exec "$here/../peers/nginx-ctl" start "$state" "$port" "$www" \
      --server "location ~ ^/web/ZKStarter/moved/(.*)\$ { return 302 http://127.0.0.1:$foreign_port/evil/\$1; }"
    ;;
  stop)
    python3 "$here/../faultserver/faultserver.py" stop "$state/hostile"
    "$here/../peers/nginx-ctl" stop "$state/foreign"
    exec "$here/../peers/nginx-ctl" stop "$state"
    ;;
  *) echo "usage: portal.sh start|stop ..." >&2; exit 64 ;;
esac
