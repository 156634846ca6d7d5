# Sourced by the project's scripts: one Wine prefix with its own X display and
# a persistent wineserver, so that each wine process starts in tens of ms.
#   ZK_WINE_NAME   name of the prefix (default "test"); parallel runs use different names
#   ZK_DISPLAY     X display number (default 91)

: "${ZK_WINE_NAME:=test}"
: "${ZK_DISPLAY:=91}"
export WINEPREFIX=${WINEPREFIX:-$HOME/.cache/zklauncher-wine/$ZK_WINE_NAME}
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export DISPLAY=:$ZK_DISPLAY
export LANG=ko_KR.UTF-8
export LC_ALL=ko_KR.UTF-8

zk_start_display() {
  if ! xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then
    Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    for _ in $(seq 1 50); do xdpyinfo -display "$DISPLAY" >/dev/null 2>&1 && break; sleep 0.1; done
  fi
}

zk_start_wine() {
  zk_start_display
  mkdir -p "$WINEPREFIX"
  # A wineserver left running in this prefix (a run by hand) serves as well.
  wineserver -p 2>/dev/null || true
  wine wineboot </dev/null >/dev/null 2>&1
}

zk_stop_wine() {
  wineserver -k 2>/dev/null || true
}
