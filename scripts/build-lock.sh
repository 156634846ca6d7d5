# Sourced by scripts/test, scripts/demo and bench/starter, which build and run
# in the same build folder: one run of them at a time in a build root. (A lock
# held on an open file would be inherited by the servers that a run starts and
# outlive it: the claim is a file naming the run's process.)
#   zk_claim_build_root <build root>   fails while another run holds it; the
#                                      caller removes "$zk_run_pid" at its end

zk_claim_build_root() {
  local other
  mkdir -p "$1"
  zk_run_pid=$1/.test-run.pid
  if ! (set -C; echo $$ >"$zk_run_pid") 2>/dev/null; then
    other=$(cat "$zk_run_pid" 2>/dev/null || true)
    if [ -n "$other" ] && grep -qaE 'scripts/(test|demo)|bench/starter' "/proc/$other/cmdline" 2>/dev/null; then
      echo "$(basename "$0"): another run ($(tr '\0' ' ' <"/proc/$other/cmdline"), process $other) uses $1" >&2
      return 1
    fi
    echo $$ >"$zk_run_pid"
  fi
}
