# Sourced by the project's scripts: one Wine prefix with its own X display and
# a persistent wineserver, so that each wine process starts in tens of ms.
#   ZK_WINE_NAME   name of the prefix (default "test"); parallel runs use different names
#   ZK_DISPLAY     X display number (default 91)
# scripts/test sets WINEPREFIX to a fresh prefix of its own and asks for a
# display of its own (zk_start_own_display); the demo and the benchmarks keep
# a named prefix and share a display that is already running.

: "${ZK_WINE_NAME:=test}"
: "${ZK_DISPLAY:=91}"
export WINEPREFIX=${WINEPREFIX:-$HOME/.cache/zklauncher-wine/$ZK_WINE_NAME}
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
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

# The display of the demo and the benchmarks: the one already running on
# ZK_DISPLAY, else a new Xvfb there.
zk_start_display() {
  zk_display_answers "$ZK_DISPLAY" && return 0
  zk_clear_stale_display "$ZK_DISPLAY" || true
  zk_start_xvfb "$ZK_DISPLAY" || { echo "wine-env: no X display :$ZK_DISPLAY" >&2; return 1; }
}

# A display that no other program uses: ZK_DISPLAY when it is free (a lock
# left by a killed run is cleared), else the next free number. Another
# program's server would share its clipboard with the tests.
zk_start_own_display() {
  local n
  for n in $(seq "$ZK_DISPLAY" $((ZK_DISPLAY + 200))); do
    zk_clear_stale_display "$n" || continue
    zk_start_xvfb "$n" && return 0
  done
  echo "wine-env: no free X display from :$ZK_DISPLAY on" >&2
  return 1
}

# Stops the Xvfb that this shell started, if any.
zk_stop_display() {
  [ -n "$ZK_XVFB_PID" ] || return 0
  kill "$ZK_XVFB_PID" 2>/dev/null || true
  wait "$ZK_XVFB_PID" 2>/dev/null || true
  ZK_XVFB_PID=
}

# The prefix's wineserver, kept running, and its services started with their
# output detached. The display must be there first: a wineserver started
# without one keeps a desktop without one.
zk_start_prefix() {
  mkdir -p "$WINEPREFIX"
  # A wineserver left running in this prefix (a run by hand) serves as well.
  wineserver -p 2>/dev/null || true
  wine wineboot </dev/null >/dev/null 2>&1
  # Xvfb runs no window manager: Wine is told not to hand its windows to one,
  # or it waits about 2 s for a manager to withdraw every closed window.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f </dev/null >/dev/null 2>&1
}

zk_start_wine() {
  zk_start_display && zk_start_prefix
}

# Ends the prefix's wineserver with every program in it, waits until it has
# ended, and stops the Xvfb that this shell started.
zk_stop_wine() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  zk_stop_display
}
