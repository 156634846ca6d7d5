# Sourced by the project's scripts: one Wine prefix with its own X display and
# a persistent wineserver, so that each wine process starts in tens of ms.
#   ZK_WIN_MACHINE the Windows build whose programs run: i686 (the shipped
#                  programs, 32-bit Wine, win32 prefix) or x86_64 (64-bit Wine,
#                  win64 prefix); default: the first that scripts/win-machines
#                  finds this machine runs
#   ZK_BUILD_ROOT  the checkout's build folder root (default ./build); the
#                  prefixes go to its wine/ folder
#   ZK_WINE_NAME   name of the prefix (default "test"; the machine's Wine
#                  architecture is added to it); parallel runs use different names
#   ZK_DISPLAY     X display number to try first (default 91)
# Each script's run gets a new prefix (zk_new_prefix, a copy of a template
# made once per Wine version and architecture), removed when the run ends
# (zk_stop_wine), and an X display that no other program uses
# (zk_start_own_display). Every Wine tool goes through the chosen Wine
# (zk_wine, zk_wineserver, zk_winepath of cmake/wine-tools.sh).

zk_checkout=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
. "$zk_checkout/cmake/wine-tools.sh"
if [ -z "${ZK_WIN_MACHINE:-}" ]; then
  ZK_WIN_MACHINE=$(zk_pick_machine "$zk_checkout") || return 2
fi
zk_select_wine "$ZK_WIN_MACHINE" || return 2
: "${ZK_WINE_NAME:=test}"
: "${ZK_DISPLAY:=91}"
export ZK_WINE_NAME
export ZK_WINE_ROOT=${ZK_WINE_ROOT:-${ZK_BUILD_ROOT:-$zk_checkout/build}/wine}
# Never a WINEPREFIX from outside: a run's prefix is deleted and made anew.
export WINEPREFIX=$ZK_WINE_ROOT/$ZK_WINE_NAME-$WINEARCH
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono, no Gecko, and no menu builder: it would write menu entries into the
# home folder and leave an explorer.exe behind in every new prefix.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}
export DISPLAY=:$ZK_DISPLAY
export LANG=ko_KR.UTF-8
export LC_ALL=ko_KR.UTF-8

ZK_XVFB_PID=

# Whether an X server answers on display number $1.
zk_display_answers() { xdpyinfo -display ":$1" >/dev/null 2>&1; }

# Removes the lock and socket of display $1 when the server that made them
# has ended (a run that was killed); fails while that server lives.
zk_clear_stale_display() {
  local lock=/tmp/.X$1-lock pid
  if [ -e "$lock" ]; then
    pid=$(tr -dc 0-9 <"$lock" 2>/dev/null)
    [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null && return 1
    rm -f "$lock"
  fi
  zk_display_answers "$1" && return 1
  rm -f "/tmp/.X11-unix/X$1"
}

# Starts Xvfb on display $1 and waits until it accepts clients (Xvfb says so
# on -displayfd); sets ZK_XVFB_PID. Fails when the display cannot be had.
zk_start_xvfb() {
  local ready shown=""
  ready=$(mktemp -u "${TMPDIR:-/tmp}/zk-xvfb.XXXXXX")
  mkfifo "$ready"
  Xvfb ":$1" -screen 0 1024x768x24 -nolisten tcp -displayfd 3 3>"$ready" </dev/null >/dev/null 2>&1 &
  ZK_XVFB_PID=$!
  # The pipe closes without a number when Xvfb ends first.
  read -r -t 60 shown <"$ready" || true
  rm -f "$ready"
  if [ "$shown" != "$1" ]; then
    kill "$ZK_XVFB_PID" 2>/dev/null || true
    wait "$ZK_XVFB_PID" 2>/dev/null || true
    ZK_XVFB_PID=
    return 1
  fi
  export DISPLAY=:$1 ZK_DISPLAY=$1
}

# A display that no other program uses: ZK_DISPLAY when it is free (a lock
# left by a killed run is cleared), else the next free number. Another
# program's server would share its clipboard with the run. The Xvfb that a
# killed earlier run of this prefix left is stopped first.
zk_start_own_display() {
  local n pid record=$WINEPREFIX.xvfb.pid
  mkdir -p "$ZK_WINE_ROOT"
  if pid=$(cat "$record" 2>/dev/null) && grep -qa '^Xvfb' "/proc/$pid/cmdline" 2>/dev/null; then
    kill "$pid" 2>/dev/null || true
    while kill -0 "$pid" 2>/dev/null; do sleep 0.1; done
  fi
  for n in $(seq "$ZK_DISPLAY" $((ZK_DISPLAY + 200))); do
    zk_clear_stale_display "$n" || continue
    if zk_start_xvfb "$n"; then
      echo "$ZK_XVFB_PID" >"$record"
      return 0
    fi
  done
  echo "wine-env: no free X display from :$ZK_DISPLAY on" >&2
  return 1
}

# Stops the Xvfb that this shell started, if any.
zk_stop_display() {
  [ -n "$ZK_XVFB_PID" ] || return 0
  kill "$ZK_XVFB_PID" 2>/dev/null || true
  wait "$ZK_XVFB_PID" 2>/dev/null || true
  rm -f "$WINEPREFIX.xvfb.pid"
  ZK_XVFB_PID=
}

ZK_PREFIX_MADE=

# Makes the run's prefix anew as a copy of the template, which is made once
# per Wine version and architecture (in a folder of its own, published by a rename, so that
# runs beside this one copy only a finished template). The display must be
# there first.
zk_new_prefix() {
  local template=$ZK_WINE_ROOT/template-$WINEARCH stamp made
  stamp="$(zk_wine --version) $WINEARCH"
  mkdir -p "$ZK_WINE_ROOT"
  if [ "$(cat "$template/.zk-wine-version" 2>/dev/null)" != "$stamp" ]; then
    made=$(mktemp -d "$ZK_WINE_ROOT/template.XXXXXX")
    (
      export WINEPREFIX=$made
      zk_wine wineboot </dev/null >/dev/null 2>&1
      # Also for a wine started in the prefix without these scripts.
      zk_wine reg add 'HKCU\Software\Wine\DllOverrides' /v winemenubuilder.exe /t REG_SZ /d '' /f \
        </dev/null >/dev/null 2>&1
      # The registry is written when the wineserver ends.
      zk_wineserver -k 2>/dev/null || true
      zk_wineserver -w
      echo "$stamp" >"$made/.zk-wine-version"
    )
    if [ -e "$template" ]; then mv -T "$template" "$made.old" && rm -rf "$made.old"; fi
    mv -T "$made" "$template" 2>/dev/null || rm -rf "$made"
  fi
  # The wineserver of an earlier run in this prefix ends with the programs
  # it still holds before the prefix goes.
  if [ -d "$WINEPREFIX" ]; then zk_wineserver -k 2>/dev/null || true; zk_wineserver -w 2>/dev/null || true; fi
  rm -rf "$WINEPREFIX"
  cp -a "$template" "$WINEPREFIX"
  ZK_PREFIX_MADE=1
}

# The prefix's wineserver, kept running, and its services started with their
# output detached. The display must be there first: a wineserver started
# without one keeps a desktop without one.
zk_start_prefix() {
  mkdir -p "$WINEPREFIX"
  # A wineserver left running in this prefix (a run by hand) serves as well.
  zk_wineserver -p 2>/dev/null || true
  zk_wine wineboot </dev/null >/dev/null 2>&1
  # Xvfb runs no window manager: Wine is told not to hand its windows to one,
  # or it waits about 2 s for a manager to withdraw every closed window.
  zk_wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f </dev/null >/dev/null 2>&1
}

# Keeps the prefix's desktop process, and with it the clipboard's bridge to
# the display, running until the wineserver ends: Wine otherwise ends it a
# moment after its last program and starts it again for the next one, and a
# clipboard text written while the bridge starts can be lost (seen as a
# starter that found no text). <cliptool.exe> is the test tool of a build.
zk_hold_desktop() {  # <cliptool.exe>
  [ -f "$1" ] || return 0
  zk_wine "$1" hold-desktop </dev/null >/dev/null 2>&1 &
}

# A display of the run's own, a new prefix and its wineserver.
zk_start_wine() {
  zk_start_own_display && zk_new_prefix && zk_start_prefix
}

# Ends the prefix's wineserver with every program in it, waits until it has
# ended, removes the prefix when this shell made it, and stops the Xvfb that
# this shell started.
zk_stop_wine() {
  zk_wineserver -k 2>/dev/null || true
  zk_wineserver -w 2>/dev/null || true
  if [ -n "$ZK_PREFIX_MADE" ]; then rm -rf "$WINEPREFIX"; ZK_PREFIX_MADE=; fi
  zk_stop_display
}
