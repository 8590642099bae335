#!/usr/bin/env bash
# Runs clang-tidy with the checks of .clang-tidy (bug-prone and performance) over the product
# code under src/, two files at a time, from the compile commands of the default preset's POSIX
# build (build/compile_commands.json; run after `cmake --preset default`). Prints each finding
# and fails when there is any. clang-tidy 14: Debian's package clang-tidy.
#   scripts/check_tidy.sh            every file of src/ in the compile commands
#   scripts/check_tidy.sh REGEX...   only the files whose path matches
set -euo pipefail
cd "$(dirname "$0")/.."

command -v run-clang-tidy >/dev/null ||
    { echo "tidy: run-clang-tidy is missing (Debian package clang-tidy)" >&2; exit 1; }
[ -f build/compile_commands.json ] ||
    { echo "tidy: build/compile_commands.json is missing: run cmake --preset default" >&2
      exit 1; }

patterns=("$@")
[ ${#patterns[@]} -gt 0 ] || patterns=("$PWD/src/")

output=$(mktemp)
trap 'rm -f "$output"' EXIT
start=$SECONDS
status=0
run-clang-tidy -j2 -p build -quiet "${patterns[@]}" >"$output" 2>&1 || status=$?
# Keep the findings; drop the commands and the counts of warnings suppressed in other code.
sed 's/\x1b\[[0-9;]*m//g' "$output" |
    grep -vE '^clang-tidy(-[0-9]+)? |^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$|^Suppressed [0-9]+ warnings|^Use -header-filter=|^Use -system-headers' ||
    true
if [ "$status" -ne 0 ]; then
    echo "tidy: findings in src/ (see above), $((SECONDS - start)) s" >&2
    exit 1
fi
echo "tidy: src/ passes .clang-tidy's checks, $((SECONDS - start)) s"
