#!/usr/bin/env bash
# Checks, changing nothing, that the tracked C and C++ files are laid out as .clang-format
# says (clang-format 14, Debian's package clang-format). Prints the first findings and the
# files that differ, and fails when any does; `clang-format -i FILE...` lays them out.
#   scripts/check_format.sh            every tracked .c, .cpp and .h file
#   scripts/check_format.sh FILE...    only these
set -euo pipefail
cd "$(dirname "$0")/.."

command -v clang-format >/dev/null ||
    { echo "format: clang-format is missing (Debian package clang-format)" >&2; exit 1; }
version=$(clang-format --version | grep -oE 'version [0-9]+' | grep -oE '[0-9]+')
[ "$version" = 14 ] ||
    echo "format: .clang-format is tuned for clang-format 14; this is $version" >&2

if [ $# -gt 0 ]; then
    files=("$@")
else
    mapfile -t files < <(git ls-files -- '*.c' '*.cpp' '*.h')
fi

findings=$(mktemp)
trap 'rm -f "$findings"' EXIT
if clang-format --dry-run --Werror "${files[@]}" 2>"$findings"; then
    echo "format: ${#files[@]} files laid out as .clang-format says"
    exit 0
fi
head -n 40 "$findings" >&2
mapfile -t differing < <(grep -oE '^[^:]+:[0-9]+:[0-9]+: error:' "$findings" | cut -d: -f1 |
                         sort -u)
echo "format: ${#differing[@]} of ${#files[@]} files differ from .clang-format's layout" \
     "($(grep -c ': error:' "$findings") places):" >&2
printf '  %s\n' "${differing[@]}" >&2
exit 1
