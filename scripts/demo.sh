#!/usr/bin/env bash
# Builds the POSIX program and runs it twice on the example in examples/: the first run finds
# one installed copy older than its master and starts its setup program; the second run finds
# everything up to date and starts nothing. Between the two, quorvel-check tells why.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset default >/dev/null
cmake --build --preset default -j2 --target quorvel --target quorvel-check >/dev/null

demo=build/demo
rm -rf "$demo"
cp -r examples "$demo"
cp build/quorvel build/quorvel-check "$demo/"
# Give the copies the dates the example is about: one installed copy older than its master.
touch -d '2026-11-02 10:00:00' "$demo/master/notes.txt"
touch -d '2026-10-01 09:00:00' "$demo/installed/notes.txt"
touch -d '2026-09-15 08:00:00' "$demo/master/phones.txt" "$demo/installed/phones.txt"

cd "$demo"
for run in first second; do
    echo "== $run run: ./quorvel (settings Quorvel.ini, log Quorvel.log beside the program)"
    status=0
    ./quorvel || status=$?
    echo "exit status $status"
    sleep 1  # setup programs are not waited for; give this one a moment to finish
    echo "-- Quorvel.log:"
    cat Quorvel.log
    echo "-- setup programs started so far:"
    cat setup.out 2>/dev/null || echo "(none)"
    if [ "$run" = first ]; then
        echo "== between the runs: ./quorvel-check (changes nothing)"
        status=0
        ./quorvel-check || status=$?
        echo "exit status $status"
    fi
done
