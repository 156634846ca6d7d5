# Sourced by cmake/wine-run and scripts/wine-env.sh: the Wine that runs one
# Windows build's programs, and every Wine tool through that same Wine.
#   zk_select_wine <i686|x86_64>   the build's machine
# i686: the shipped 32-bit programs, under the 32-bit loader in a win32 prefix.
# x86_64: the test build of a machine that runs no 32-bit code, under the
# 64-bit loader in a win64 prefix. Debian's /usr/bin/wine would take the
# 32-bit loader whenever it is installed, so the loader is named by its path.
# ZK_WINE_DIR is the loaders' folder (default Debian's /usr/lib/wine).
# Sets and exports WINEARCH, ZK_WINE (the loader) and ZK_WINESERVER;
# WINELOADER names the 64-bit loader, so that what Wine starts on a program's
# behalf takes the same one.
zk_select_wine() {
  local dir=${ZK_WINE_DIR:-/usr/lib/wine}
  case "$1" in
    i686)
      ZK_WINE=$dir/wine ZK_WINESERVER=wineserver
      export WINEARCH=win32
      unset WINELOADER
      ;;
    x86_64)
      ZK_WINE=$dir/wine64 ZK_WINESERVER=$dir/wineserver64
      export WINEARCH=win64 WINELOADER=$dir/wine64
      ;;
    *)
      echo "wine-tools: no Windows machine '$1' (i686 or x86_64)" >&2
      return 2
      ;;
  esac
  export ZK_WINE ZK_WINESERVER ZK_WIN_MACHINE=$1
}

# The chosen Wine and its tools: zk_wine <program> [args] (wineboot, reg,
# cmd and winepath are programs of the prefix), zk_wineserver [args].
zk_wine() { "$ZK_WINE" "$@"; }
zk_wineserver() { "$ZK_WINESERVER" "$@"; }
zk_winepath() { "$ZK_WINE" winepath.exe "$@"; }

# Fails, with one line that names the cause and the fix, when the chosen
# Wine does not run here; decided by running it.
zk_check_wine() {
  local package=wine32:i386
  [ "$ZK_WIN_MACHINE" = i686 ] || package=wine64
  if [ ! -x "$ZK_WINE" ]; then
    echo "no Windows test can run: the Wine loader for the $ZK_WIN_MACHINE programs ($ZK_WINE) is not installed; install Debian's $package package (scripts/install-deps does, as root)" >&2
    return 1
  fi
  if ! "$ZK_WINE" --version >/dev/null 2>&1; then
    echo "no Windows test can run: the Wine loader for the $ZK_WIN_MACHINE programs ($ZK_WINE) is installed but does not run on this machine; reinstall Debian's $package package (scripts/install-deps does, as root)" >&2
    return 1
  fi
}

# The Windows machine a run takes (the demo, the benchmarks): ZK_WIN_MACHINE
# when this machine runs its programs, else the first that
# scripts/win-machines finds (i686 wherever 32-bit code runs). Prints it;
# the verdict goes to stderr.
zk_pick_machine() {  # <checkout>
  local machines
  machines=$("$1/scripts/win-machines") || return 1
  if [ -z "${ZK_WIN_MACHINE:-}" ]; then
    echo "${machines%% *}"
    return 0
  fi
  case " $machines " in
    *" $ZK_WIN_MACHINE "*) echo "$ZK_WIN_MACHINE" ;;
    *) echo "ZK_WIN_MACHINE=$ZK_WIN_MACHINE: this machine runs only the $machines programs" >&2; return 1 ;;
  esac
}

# The build folder of a machine's programs: the i686 folder's name as it
# stands, with "64" added for the x86_64 build.
zk_win_folder() {  # <i686 folder> <machine>
  if [ "$2" = i686 ]; then echo "$1"; else echo "${1}64"; fi
}
