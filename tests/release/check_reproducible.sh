#!/usr/bin/env bash
# The unsigned Windows build is reproducible: the build of one commit in another folder gives
# the same program files (any signature set aside), and its MSI comes out the same twice.
#   check_reproducible.sh SOURCE_DIR PRESET BUILD_DIR WORK_DIR
set -euo pipefail
source=$1 preset=$2 build=$3 work=$4
rm -rf "$work"
mkdir -p "$work"
# Another folder and another path length than the build's own.
again=$work/a-second-build-folder
cmake -S "$source" --preset "$preset" -B "$again" >"$work/build.log" 2>&1 &&
    cmake --build "$again" -j2 --target quorvel quorvel-check quorvel-msi-options >>"$work/build.log" 2>&1 ||
    { cat "$work/build.log"; exit 1; }
failed=0
for program in quorvel.exe quorvel-check.exe quorvel-msi-options.exe; do
    original=$build/$program
    if osslsigncode extract-signature -in "$original" -out "$work/$program.signature" >/dev/null 2>&1; then
        osslsigncode remove-signature -in "$original" -out "$work/$program" >/dev/null
        original=$work/$program
    fi
    cmp "$original" "$again/$program" || { echo "$program differs between two builds" >&2; failed=1; }
done
for run in first second; do
    (cd "$again" && cpack -G External >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; exit 1; }
    cp "$again"/quorvel-*.msi "$work/$run.msi"
    sleep 1  # a clock that leaked into the package would show
done
cmp "$work/first.msi" "$work/second.msi" || { echo "the MSI differs between two runs" >&2; failed=1; }
exit $failed
