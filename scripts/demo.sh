#!/usr/bin/env bash
# Builds the POSIX program and runs it twice on the example in examples/: the first run finds
# one installed copy older than its master and starts its setup program; the second run finds
# everything up to date and starts nothing. Between the two, quorvel-check tells why.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset default >/dev/null
cmake --build --preset default -j2 --target quorvel --target quorvel-check \
    --target site_simulator >/dev/null

demo=build/demo
rm -rf "$demo"
cp -r examples "$demo"
cp build/quorvel build/quorvel-check "$demo/"
# Give the copies the dates the example is about: one installed copy older than its master.
touch -d '2026-11-02 10:00:00' "$demo/master/notes.txt"
touch -d '2026-10-01 09:00:00' "$demo/installed/notes.txt"
touch -d '2026-09-15 08:00:00' "$demo/master/phones.txt" "$demo/installed/phones.txt"
# Each pass also reports what it did, in reports/: ReportFolder takes the place of the
# example's Delay=0 (the default), so the settings file keeps its line numbers.
sed -i 's/^Delay=0$/ReportFolder=reports/' "$demo/Quorvel.ini"
mkdir -p "$demo/reports"

cd "$demo"
for run in first second; do
    echo "== $run run: ./quorvel (settings Quorvel.ini, log Quorvel.log beside the program)"
    status=0
    ./quorvel || status=$?
    echo "exit status $status"
    sleep 1  # setup programs are not waited for; give this one a moment to finish
    echo "-- Quorvel.log:"
    cat Quorvel.log
    echo "-- the pass report in reports/:"
    cat reports/*.csv 2>/dev/null || echo "(none)"
    echo "-- setup programs started so far:"
    cat setup.out 2>/dev/null || echo "(none)"
    if [ "$run" = first ]; then
        echo "== between the runs: ./quorvel-check (changes nothing)"
        status=0
        ./quorvel-check || status=$?
        echo "exit status $status"
    fi
done

echo "== the site at a glance: a simulated site of ten computers over a week"
mkdir -p site/reports
../site_simulator site/reports site/Quorvel.log
status=0
./quorvel-check /site=site/reports /log=site/Quorvel.log /html=site/site.html || status=$?
echo "exit status $status (2: failures shown); the page: $demo/site/site.html"
if command -v chromium >/dev/null; then
    chromium --headless=new --no-sandbox --disable-gpu --hide-scrollbars \
        --user-data-dir="$PWD/site/profile" --window-size=1100,1900 \
        --screenshot="$PWD/site/site.png" "file://$PWD/site/site.html" >/dev/null 2>&1 &&
        echo "its screenshot: $demo/site/site.png"
fi
