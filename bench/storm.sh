#!/usr/bin/env bash
# How far one install log goes. Not a test and not run by CI.
#
#   bash bench/storm.sh [N]      (run as root on a fresh machine to install strace)
#
# 1. The log-on storm: N runs (default 200) started within one second against one log, each
#    with one entry due (its installed file missing), first with SpreadSeconds=0, then 20. For
#    each it prints the lines written whole (must be N), how their arrival spreads over time,
#    the peak number of runs inside the pass at once and the lock refusals, watched from outside
#    with strace (bench/storm_runs.py).
# 2. How long one line holds the log's lock on this machine's file system (bench/lock_hold.c).
# 3. From that hold and round trips of 1, 4 and 10 ms, the expected share of lost lines for
#    sites of 500, 2,000 and 10,000 workstations (bench/log_capacity.py, its model at its top).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-200}
program=$root/build/quorvel
fixture=$root/build/tests/pe_fixtures/version_pe64.exe

source "$root/bench/need.sh"
need_packages strace:strace python3:python3
need_build "$root" "$program" "$fixture"
# Each run is traced: N strace processes and their traces.
ulimit -n "$(ulimit -Hn)" 2>/dev/null || true

work=$(mktemp -d /tmp/quorvel-storm.XXXXXX)
trap 'rm -rf "$work"' EXIT
cc -O2 -o "$work/lock_hold" "$root/bench/lock_hold.c"

echo "== log-on storm: $runs runs started within one second against one log"
for spread in 0 20; do
    dir=$work/spread$spread
    mkdir -p "$dir/share/logs" "$dir/local" "$dir/traces"
    cp "$fixture" "$dir/share/master.exe"
    printf '[Quorvel]\nCount=1\nSpreadSeconds=%s\n[App1]\nName=Storm\nSource=%s\nDestination=%s\nSetupApp=/bin/true\n' \
        "$spread" "$dir/share/master.exe" "$dir/local/installed.exe" >"$dir/share/Quorvel.ini"
    : >"$dir/share/logs/Quorvel.log"
    echo "  SpreadSeconds=$spread"
    python3 "$root/bench/storm_runs.py" "$program" "$dir/share/Quorvel.ini" \
        "$dir/share/logs/Quorvel.log" "$dir/local/installed.exe" "$runs" "$dir/traces"
done

echo
echo "== the time one line holds the log's lock here"
"$work/lock_hold" "$work/hold.log" >"$work/hold.txt"
head -1 "$work/hold.txt"
hold=$(tail -1 "$work/hold.txt")

echo
echo "== expected lost lines for a site on one log on a share"
python3 "$root/bench/log_capacity.py" "$hold"
