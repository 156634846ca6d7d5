#!/usr/bin/env bash
# Local portal for the starter's scenarios and the demo: makes the archives
# from the built programs and serves them with nginx on loopback.
#   portal.sh start <state folder> <port> <newer starter exe> <stand-in wizard exe>
#   portal.sh stop  <state folder>
# Served (document root <state folder>/www):
#   /web/ZKStarter/Pelto/Lumora1_1.0.0.9.zip   the newer starter as Lumora1.exe
#   /web/ZKStarter/Pelto/Tesselo1_2.0.0.1.zip  the stand-in wizard, entry named TESSELO1.EXE
#   /web/ZKStarter/Pelto/Tesselo1_2.0.0.7.zip  an archive without the wizard entry
#   /web/ZKStarter/Pelto/Tesselo1_2.0.0.8.zip  a damaged archive (deflate data of a reserved block type)
#   /web/ZKStarter/Pelto/Tesselo1_2.0.0.2.zip  the stand-in wizard in an archive of a multiple of 4096 bytes
#   /web/ZKStarter/Pelto/Tesselo1_2.0.0.3.zip  the stand-in wizard, for an update over an installed 2.0.0.1
#   /custom/Pelto/Tesselo1_2.0.0.1.zip         the stand-in wizard, for CustomUpdateURL
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
verb=$1 state=$2
case "$verb" in
  start)
    port=$3 newer=$4 standin=$5
    www="$state/www"
    rm -rf "$www"
    mkdir -p "$www/web/ZKStarter/Pelto" "$www/custom/Pelto"
    python3 - "$www" "$newer" "$standin" <<'PY'
import sys, zipfile
www, newer, standin = sys.argv[1:4]
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
PY
    exec "$here/../peers/nginx-ctl" start "$state" "$port" "$www"
    ;;
  stop)
    exec "$here/../peers/nginx-ctl" stop "$state"
    ;;
  *) echo "usage: portal.sh start|stop ..." >&2; exit 64 ;;
esac
