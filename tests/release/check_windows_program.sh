#!/usr/bin/env bash
# Checks a built Windows program as administrators expect to deploy it:
#   check_windows_program.sh OBJDUMP MANIFEST SOURCE_DIR PROGRAM...
# each PROGRAM must have DEP and ASLR on (high-entropy ASLR too when it is 64-bit), no
# symbols, zero timestamps (header and export table), no path of the source folder inside
# (so a build elsewhere gives the same bytes), and exactly the MANIFEST embedded as
# resource type 24, id 1, asking for the invoker's rights.
set -euo pipefail
objdump=$1 manifest=$2 source_dir=$3
shift 3
failed=0
fail() {
    echo "$program: $*" >&2
    failed=1
}

manifest_size=$(printf '0x%06x' "$(wc -c <"$manifest")")
for program in "$@"; do
    if [ ! -f "$program" ]; then
        fail "missing"
        continue
    fi
    headers=$("$objdump" -p "$program")
    characteristics=$(sed -n '/^DllCharacteristics/,/^SizeOfStackReserve/p' <<<"$headers")
    wanted=(NX_COMPAT DYNAMIC_BASE)
    grep -q '^Magic.*(PE32+)' <<<"$headers" && wanted+=(HIGH_ENTROPY_VA)
    for flag in "${wanted[@]}"; do
        grep -qw "$flag" <<<"$characteristics" || fail "$flag is not set"
    done
    grep -q 'symbols stripped' <<<"$headers" || fail "symbols are not stripped"
    "$objdump" -t "$program" | grep -q '^no symbols' || fail "has a symbol table"
    grep -q '^Time/Date.*00:00:00 1970' <<<"$headers" || fail "header has a timestamp"
    if grep -q '^There is an export table' <<<"$headers"; then
        grep -qE '^Time/Date stamp[[:space:]]+0$' <<<"$headers" ||
            fail "export table has a timestamp"
    fi
    if grep -aqF "$source_dir" "$program"; then
        fail "holds the source folder's path"
    fi
    # The resource directory lists type 0x18 (manifest) with name id 1 and a leaf of the
    # manifest's exact size, and the program holds the asInvoker request.
    resources=$(sed -n '/The .rsrc Resource Directory/,$p' <<<"$headers")
    grep -A5 'Entry: ID: 0x000018,' <<<"$resources" | grep -A3 'Entry: ID: 0x000001,' |
        grep -q "Leaf: .*Size: $manifest_size," || fail "no manifest of type 24, id 1"
    [ "$(grep -ac 'level="asInvoker" uiAccess="false"' "$program")" = 1 ] ||
        fail "the manifest does not ask for the invoker's rights"
done
exit $failed
