#!/usr/bin/env bash
# Local portal for the starter's scenarios and the demo: makes the archives
# from the built programs and serves them with nginx on loopback.
#   portal.sh start <state folder> <port> <newer starter exe> <stand-in wizard exe>
#   portal.sh stop  <state folder>
# Served (document root <state folder>/www):
#   /web/ZKStarter/Pelto/Lumora1_1.0.0.9.zip   the newer starter as Lumora1.exe
#   /web/ZKStarter/Pelto/Tesselo1_2.0.0.1.zip  the stand-in wizard, entry named TESSELO1.EXE
#   /web/ZKStarter/Pelto/Tesselo1_2.0.0.7.zip  an archive without the wizard entry
#   /web/ZKStarter/Pelto/Tesselo1_2.0.0.8.zip  a damaged archive (truncated deflate data)
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
pack(pelto + "Tesselo1_2.0.0.7.zip", [("Other.exe", standin)])
# A damaged archive: the central directory is intact, the deflate data is cut short.
data = open(standin, "rb").read()
with zipfile.ZipFile(pelto + "Tesselo1_2.0.0.8.zip", "w", zipfile.ZIP_DEFLATED) as z:
    z.writestr("Tesselo1.exe", data)
raw = bytearray(open(pelto + "Tesselo1_2.0.0.8.zip", "rb").read())
start = 30 + len("Tesselo1.exe")
for i in range(start + 200, start + 4000):
    raw[i] = 0xFF
open(pelto + "Tesselo1_2.0.0.8.zip", "wb").write(bytes(raw))
PY
    exec "$here/../peers/nginx-ctl" start "$state" "$port" "$www"
    ;;
  stop)
    exec "$here/../peers/nginx-ctl" stop "$state"
    ;;
  *) echo "usage: portal.sh start|stop ..." >&2; exit 64 ;;
esac
