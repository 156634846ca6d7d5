# The road of one typical start, shared by scripts/demo and the CTest
# scenario; sourced after scripts/wine-env.sh (Wine prefix and display).
#
#   road_release <docroot> <port> <newer starter> <wizard> <program>
#                                  the portal's content, made by scripts/publish-release
#   road_portal_start <state> <port> <docroot> [rate]
#                                  nginx on 127.0.0.1:<port>; with a rate (nginx
#                                  limit_rate, e.g. 64k) the program archives under
#                                  /Common/ are sent slowly
#   road_portal_stop <state>
#   road_install <old starter>     a clean prefix: the older starter alone in C:\windows,
#                                  no update wizard, no installed program
#   road_play <state> <run dir> <webpage.exe> <port>
#                                  one start from the web page to Quillan1.exe; leaves in the
#                                  run dir: record.txt (what Quillan1.exe received),
#                                  access.log (the requests of this start) and timeline.tsv
#                                  (seconds since the web page's start, event)

road_here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# The web page's pass phrase, versions and pairs.
road_publish=demo-pass
road_s_version=1.0.0.9
road_u_version=1.0.0.1
# The pairs, one "key<TAB>value" a line, and the clipboard's pair text made of them.
road_pair_lines() {
  printf '%s\t%s\n' RunMode 1 ProgName CorvaliseAvatar \
    AvatarURL "http://127.0.0.1:$1/patch/CorvaliseAvatar.htm" UpdateURL "http://www.zkgames.test/game/" \
    AuthCookie auth-7f3a DataCookie data-19c2 CpCookie cp-55e0 \
    StatisticsURL "http://127.0.0.1:$1/cpage/ClientDownLoad/index_v2.asp" GameId 42 Nickname player1
}
road_pairs() { road_pair_lines "$1" | awk -F'\t' '{ printf "%s%s=\"%s\"", (NR > 1 ? ", " : ""), $1, $2 }'; }
road_names='RunMode|ProgName|AvatarURL|UpdateURL|AuthCookie|DataCookie|CpCookie|StatisticsURL|GameId|Nickname|BrowserName'

# The x86_64 test build's programs go to a test portal only (publish-release
# refuses them otherwise).
road_release() {
  local docroot=$1 port=$2 test_build=()
  [ "$ZK_WIN_MACHINE" = i686 ] || test_build=(--x86_64-test-portal)
  rm -rf "$docroot"
  "$road_here/../../scripts/publish-release" "$docroot" --starter "$3" --wizard "$4" --program "$5" \
    --patch-url "http://127.0.0.1:$port/patch/CorvaliseAvatar.htm" --program-url "http://localhost:$port/Common/" \
    "${test_build[@]}"
}

road_portal_start() {
  local rate=${4:-} slow=""
  [ -z "$rate" ] || slow="location /Common/ { limit_rate $rate; }"
  "$road_here/../peers/nginx-ctl" start "$1" "$2" "$3" --server "$slow" \
    --log-format '$msec $status $request_method $request_uri $body_bytes_sent "$http_user_agent"'
}

road_portal_stop() { "$road_here/../peers/nginx-ctl" stop "$1"; }

road_windows() { echo "$WINEPREFIX/drive_c/windows"; }

# The user's application-data folder of the prefix, as a Unix path.
road_appdata() {
  local folder
  folder=$(zk_wine cmd /c echo %APPDATA% </dev/null 2>/dev/null | tr -d '\r')
  zk_winepath -u "$folder" 2>/dev/null
}

road_install() {
  local windows appdata
  windows=$(road_windows)
  appdata=$(road_appdata)
  rm -f "$windows"/*Lumora1* "$windows"/*Tesselo1* "$windows"/Lumora1_*.zip "$windows"/Tesselo1_*.zip
  [ -z "$appdata" ] || rm -rf "$appdata/corvalise"
  cp "$1" "$windows/Lumora1.exe"
}

# Pids of this prefix's Windows processes whose program file name matches the
# (case-insensitive) extended regular expression, for example 'tesselo1'.
road_running() {
  local pattern="[\\/]($1)\\.exe\$" pid arg0
  for pid in /proc/[0-9]*; do
    { IFS= read -r -d '' arg0 < "$pid/cmdline"; } 2>/dev/null || continue
    [[ ${arg0,,} =~ $pattern ]] || continue
    grep -qzxF "WINEPREFIX=$WINEPREFIX" "$pid/environ" 2>/dev/null && echo "${pid#/proc/}"
  done
  return 0
}

# Waits, up to the given seconds, until the command succeeds.
road_until() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

road_idle() { [ -z "$(road_running 'lumora1|tesselo1|quillan1')" ]; }

# Ends what is left of the road's programs in this prefix (after a failure).
road_end_programs() {
  local pid
  for pid in $(road_running 'lumora1|tesselo1|quillan1'); do kill "$pid" 2>/dev/null || true; done
}

road_play() {
  local state=$1 run=$2 webpage=$3 port=$4 before record
  rm -rf "$run"
  mkdir -p "$run"
  record="$run/record.txt"
  before=$(wc -l < "$state/access.log")
  # The record passes from the web page through every program by inheritance.
  ZKTEST_RECORD='Z:'${record//\//\\} ZKTEST_NAMES=$road_names \
    zk_wine "$webpage" 'C:\windows\Lumora1.exe' "$road_s_version" "$road_u_version" "$road_publish" "$(road_pairs "$port")" wait \
    </dev/null >"$run/webpage.out" 2>&1
  # The web page tool has waited for every program of the road to end;
  # Quillan1.exe writes its record under another name and renames it whole.
  if [ ! -s "$record" ]; then
    echo "Quillan1.exe did not write what it received; the requests so far:" >&2
    tail -n +"$((before + 1))" "$state/access.log" >&2
    echo "the programs' windows:" >&2
    xwininfo -root -tree 2>/dev/null | grep -Ei '\("(lumora1|tesselo1|quillan1)\.exe"' >&2
    return 1
  fi
  road_until 60 road_idle || { echo "the starter or the update wizard did not end" >&2; return 1; }
  tail -n +"$((before + 1))" "$state/access.log" > "$run/access.log"
  # Seconds since the web page started the starter (its START is a FILETIME).
  local start end
  start=$(sed -n 's/^START:\([0-9]*\).*/\1/p' "$run/webpage.out")
  end=$(stat -c %.9Y "$record")
  awk -v start="$start" -v end="$end" '
    function label(uri) {
      if (uri ~ /\/Pelto\/Lumora1_/) return "the starter archive served (self-update)"
      if (uri ~ /\/Pelto\/Tesselo1_/) return "the update wizard archive served"
      if (uri ~ /_hash\.htm/) return "the hash list served"
      if (uri ~ /\.htm/) return "the patch script served"
      if (uri ~ /Quillan1/) return "the Quillan1.exe archive served"
      if (uri ~ /index_v2\.asp/) return "a statistics report received"
      return "served"
    }
    BEGIN { t0 = (start - 116444736000000000) / 1e7; printf "0.000\tthe web page starts Lumora1.exe\n" }
    { printf "%.3f\t%s: %s %s %s\n", $1 - t0, label($4), $3, $4, $2 }
    END { printf "%.3f\tQuillan1.exe has written what it received\n", end - t0 }' "$run/access.log" > "$run/timeline.tsv"
}
