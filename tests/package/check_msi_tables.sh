#!/usr/bin/env bash
# The MSI of one Windows build, read without installing it, so that every machine checks both
# widths' packages, even one that cannot run them under Wine:
#   check_msi_tables.sh BUILD_DIR
# The summary names the build's platform; the package installs per machine into the Program
# Files folder of its width with components of that width; it carries the programs as built
# (the same sizes as BUILD_DIR's signed files), the documents and the example; the Run value
# is the quoted program path, written only with START=1; the options-file program and its
# four actions are there; and the Upgrade table names the one UpgradeCode.
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
# msiinfo export writes the Binary table's streams into the current folder: give it a scratch one.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"
source "$here/msi_of_build.sh"
# One table's rows, tab-separated, without msiinfo's three header lines.
table() { msiinfo export "$msi" "$1" | tr -d '\r' | tail -n +4; }
# The value of one column of the row whose first column is KEY.
cell() { table "$1" | awk -F '\t' -v key="$2" -v col="$3" '$1 == key { print $col }'; }
expect() {  # WHAT ACTUAL EXPECTED
    [ "$2" = "$3" ] || fail "$(basename "$msi"): $1 is '$2', not '$3'"
}

platform=Intel folder=ProgramFilesFolder wide=0
if [ "$arch" = x64 ]; then
    platform=x64 folder=ProgramFiles64Folder wide=256
fi
template=$(msiinfo suminfo "$msi" | sed -n 's/^Template: *//p' | tr -d '\r')
expect "the summary's platform" "$template" "$platform;1033"
expect ProductVersion "$(cell Property ProductVersion 2)" "$version"
expect UpgradeCode "$(cell Property UpgradeCode 2)" "{4E1F0C6B-2D7A-4B39-8E55-91A3C7D2F604}"
expect ALLUSERS "$(cell Property ALLUSERS 2)" 1
expect START "$(cell Property START 2)" 1
expect "INSTALLDIR's parent" "$(cell Directory INSTALLDIR 2)" "$folder"
expect "INSTALLDIR's name" "$(cell Directory INSTALLDIR 3 | sed 's/.*|//')" Quorvel

# Component attributes: bit 256 marks a 64-bit component.
while IFS=$'\t' read -r component _ _ attributes _; do
    expect "$component's 64-bit bit" "$((attributes & 256))" "$wide"
done < <(table Component)
expect "the Run value's condition" "$(cell Component LogOnStart 5)" 'START = "1"'

files=$(table File | cut -f 3)
for name in quorvel.exe quorvel-check.exe README.txt administrators-guide.txt Quorvel.ini; do
    grep -Eq "(^|\|)$name\$" <<<"$files" || fail "$(basename "$msi") lacks $name"
done
for program in quorvel.exe quorvel-check.exe; do
    size=$(table File | awk -F '\t' -v n="$program" '$3 == n || $3 ~ "\\|" n "$" { print $4 }')
    expect "$program's size" "$size" "$(stat -c %s "$build/$program")"
done

run=$(table Registry | awk -F '\t' '$4 == "Quorvel" { print $2 "|" $3 "|" $5 }')
expect "the Run value" "$run" \
    '2|Software\Microsoft\Windows\CurrentVersion\Run|"[INSTALLDIR]quorvel.exe"'
table Binary | cut -f 1 | grep -qx OptionsProgram || fail "the options-file program is missing"
for action in WriteOptions RemoveOptions KeepOptions RestoreOptions; do
    expect "$action's program" "$(cell CustomAction "$action" 3)" OptionsProgram
    table InstallExecuteSequence | cut -f 1 | grep -qx "$action" ||
        fail "$action is not in InstallExecuteSequence"
done
table Upgrade | cut -f 1 | grep -qx '{4E1F0C6B-2D7A-4B39-8E55-91A3C7D2F604}' ||
    fail "the Upgrade table lacks the UpgradeCode"
echo "$(basename "$msi"): tables as expected"
