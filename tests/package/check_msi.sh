#!/usr/bin/env bash
# The MSI of one Windows build, installed and removed under Wine as a site deploys it:
#   check_msi.sh BUILD_DIR WORK_DIR [CHECK_PROGRAM]
# BUILD_DIR holds the MSI (made by its cpack) and the test helpers marker.exe and
# exit_seven.exe; WORK_DIR, made afresh, holds a Wine prefix of its own (CHECK_PROGRAM, a
# program that exits with 7, must do so there: see tests/wine/prefix.sh) and a folder that
# the prefix sees as the share \\SERVER\SHARE.
# A SETTINGS path that the options file cannot carry must fail the install, and so must a
# MACHINESETTINGS path, a MACHINEHOURS or a USERHOURS that is not a number of hours.
# `msiexec /i ... /qn SETTINGS=... LOG=... MACHINESETTINGS=... MACHINEHOURS=2 USERHOURS=4`
# must install the files, write Quorvel.cfg with the two switches, the Run value, what
# Add/Remove Programs shows and the two scheduled tasks (read back from Wine's store and from
# the copy the MSI registered them from, since Wine never runs them); the machine task's command line, run by hand, and the program
# started as the Run value says must each log their pass to LOG; the installed example settings file must pass the
# installed quorvel-check.exe; a newer MSI given no properties and START=0 must upgrade in
# place, keep Quorvel.cfg as the administrator left it and the tasks, and register no Run
# value; `msiexec /x` must leave nothing of the product, no task, and the share untouched.
set -euo pipefail
build=$1 work=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/msi_of_build.sh"

rm -rf "$work"
mkdir -p "$work"
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'bash "$here/../wine/prefix.sh" stop "$WINEPREFIX"' EXIT
bash "$here/../wine/prefix.sh" start "$WINEPREFIX" ${3:+"$3"}
run() { timeout 300 wine "$@"; }

# The share: settings and log folders whose names hold blanks, and one entry that is due.
share=$work/share
mkdir -p "$share/Quorvel Settings" "$share/Quorvel Logs" "$share/apps" "$WINEPREFIX/dosdevices/unc/server"
ln -s "$share" "$WINEPREFIX/dosdevices/unc/server/share"
settings='\\SERVER\SHARE\Quorvel Settings\Quorvel.ini'
log='\\SERVER\SHARE\Quorvel Logs\Quorvel.log'
cp "$build/marker.exe" "$share/apps/marker.exe"
echo master >"$share/apps/notes.txt"
printf '%s\r\n' '[Quorvel]' 'Count=1' '[App1]' 'Name=Team Notes' \
    'Source=\\SERVER\SHARE\apps\notes.txt' 'Destination=C:\Team Notes\notes.txt' \
    'SetupApp=\\SERVER\SHARE\apps\marker.exe \\SERVER\SHARE\apps started' \
    >"$share/Quorvel Settings/Quorvel.ini"
# The machine pass's own settings file, with one due entry of its own.
machine_settings='\\SERVER\SHARE\Quorvel Settings\Machine.ini'
printf '%s\r\n' '[Quorvel]' 'Count=1' 'SkipRunningSetups=1' '[App1]' 'Name=Machine Tool' \
    'Source=\\SERVER\SHARE\apps\notes.txt' 'Destination=C:\Machine Tool\notes.txt' \
    'SetupApp=\\SERVER\SHARE\apps\marker.exe \\SERVER\SHARE\apps machine-started' \
    >"$share/Quorvel Settings/Machine.ini"

program_files='Program Files'
view=/reg:64
if [ "$arch" = x86 ]; then
    program_files='Program Files (x86)'
    view=/reg:32
fi
installed=$WINEPREFIX/drive_c/$program_files/Quorvel
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
product_code() { msiinfo export "$1" Property | tr -d '\r' | sed -n 's/^ProductCode\t//p'; }
uninstall_key() { echo "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$(product_code "$1")"; }
# The data of one registry value, or nothing when it is absent.
value() { run reg query "$1" /v "$2" $view 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"; }
msiexec() {
    local status=0
    run msiexec "$@" /l*v "$(winepath -w "$work/msiexec.log")" || status=$?
    [ $status -eq 0 ] || { tr -d '\r' <"$work/msiexec.log" | tail -40; fail "msiexec $1 exited $status"; }
}

echo "== a path the options file cannot carry fails the install, which leaves nothing"
too_long='\\SERVER\SHARE\'$(printf 'x%.0s' $(seq 250))  # an /ini= line of 272 characters
status=0
run msiexec /i "$(winepath -w "$msi")" /qn "SETTINGS=$too_long" || status=$?
[ $status -ne 0 ] && [ ! -e "$installed" ] || fail "an unwritable SETTINGS installed (status $status)"
tasks=$WINEPREFIX/drive_c/windows/system32/tasks/Quorvel
for property in "MACHINESETTINGS=$too_long" MACHINEHOURS=two USERHOURS=-1 USERHOURS=99999; do
    status=0
    run msiexec /i "$(winepath -w "$msi")" /qn "MACHINESETTINGS=$settings" "$property" || status=$?
    [ $status -ne 0 ] && [ ! -e "$installed" ] && [ -z "$(ls -A "$tasks" 2>/dev/null)" ] ||
        fail "$property installed (status $status)"
done

echo "== install $(basename "$msi") with SETTINGS and LOG"
msiexec /i "$(winepath -w "$msi")" /qn "SETTINGS=$settings" "LOG=$log" \
    "MACHINESETTINGS=$machine_settings" MACHINEHOURS=2 USERHOURS=4
for file in quorvel.exe quorvel-check.exe README.txt administrators-guide.txt examples/Quorvel.ini; do
    [ -f "$installed/$file" ] || fail "$file is not installed in $installed"
done
printf '/ini="%s"\r\n/log="%s"\r\n' "$settings" "$log" >"$work/expected.cfg"
cmp -s "$installed/Quorvel.cfg" "$work/expected.cfg" ||
    fail "Quorvel.cfg holds: $(cat -A "$installed/Quorvel.cfg" 2>&1)"
start=$(value "$run_key" Quorvel)
[ "$start" = "\"C:\\$program_files\\Quorvel\\quorvel.exe\"" ] || fail "the Run value is [$start]"
key=$(uninstall_key "$msi")
for field in "DisplayName=Quorvel" "DisplayVersion=$version" "Publisher=Quorvel developers" \
             "HelpLink=C:\\$program_files\\Quorvel\\administrators-guide.txt"; do
    [ "$(value "$key" "${field%%=*}")" = "${field#*=}" ] ||
        fail "Add/Remove Programs: ${field%%=*} is [$(value "$key" "${field%%=*}")]"
done

echo "== the scheduled tasks: registered, and as the MSI registered them"
# Wine's store keeps a registered task's description and settings, but writes no principal,
# no trigger and an empty <Exec/>: those are read from the XML the MSI registered, which it
# keeps beside the program (UTF-16).
flat() { tr -d '\r\n' | sed 's/>[[:space:]]*</></g'; }
stored() { flat <"$tasks/$1"; }
registered() { iconv -f UTF-16 -t UTF-8 "$installed/Quorvel-$1.task.xml" | flat; }
has() {
    local text=$1
    shift
    for part in "$@"; do
        grep -qF -- "$part" <<<"$text" || fail "no $part in: $text"
    done
}
element() { registered "$1" | grep -o "<$2>.*</$2>"; }
for task in Machine User; do
    [ -f "$tasks/$task" ] || fail "the task Quorvel\\$task is not registered"
    has "$(stored $task)" '<StartWhenAvailable>true</StartWhenAvailable>' \
        '<RunOnlyIfNetworkAvailable>true</RunOnlyIfNetworkAvailable>' \
        '<MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>'
    has "$(registered $task)" "<Command>&quot;C:\\$program_files\\Quorvel\\quorvel.exe&quot;</Command>"
done
has "$(registered Machine)" '<UserId>S-1-5-18</UserId><RunLevel>HighestAvailable</RunLevel>' \
    '<BootTrigger><Enabled>true</Enabled><Delay>PT3M</Delay></BootTrigger>' \
    '<Interval>PT2H</Interval>' '<RandomDelay>PT30M</RandomDelay>' \
    "<Arguments>/ini=&quot;$machine_settings&quot; /log=&quot;$log&quot;</Arguments>"
has "$(registered User)" '<GroupId>S-1-5-32-545</GroupId><RunLevel>LeastPrivilege</RunLevel>' \
    '<Interval>PT4H</Interval>' '<RandomDelay>PT60M</RandomDelay>'
[ -z "$(element User Arguments)" ] || fail "the user task has arguments: $(element User Arguments)"

# Runs a command line from a batch file, as Windows would start it, and checks that the pass
# logged the entry NAME and started its setup program, which leaves the file MARKER.
run_pass() {
    local command=$1 marker=$2 name=$3
    printf '%s\r\n' "$command" >"$work/pass.bat"
    run cmd /c "$(winepath -w "$work/pass.bat")"
    for _ in $(seq 60); do
        [ -f "$share/apps/$marker" ] && break
        sleep 0.5
    done
    grep -q " - $name (\\\\\\\\" "$share/Quorvel Logs/Quorvel.log" ||
        fail "no line for $name in the log: $(cat "$share/Quorvel Logs/Quorvel.log" 2>&1)"
    [ -f "$share/apps/$marker" ] || fail "the pass started no setup program for $name"
}

echo "== the machine task's command line, run by hand as the task would run it"
unquote() { sed 's/<[^>]*>//g; s/&quot;/"/g; s/&amp;/\&/g'; }
run_pass "$(element Machine Command | unquote) $(element Machine Arguments | unquote)" \
    machine-started "Machine Tool"

echo "== the program started as the Run value says"
run_pass "$start" started "Team Notes"

echo "== the example settings file passes quorvel-check"
example=$work/site
mkdir -p "$example/master/notes" "$example/master/phones" "$WINEPREFIX/drive_c/Program Files/Team Notes" \
         "$WINEPREFIX/drive_c/ProgramData/Phone Book"
ln -s "$example" "$WINEPREFIX/dosdevices/unc/server/quorvel"
for program in notes/notes.exe notes/setup.exe "phones/setup phones.exe"; do
    cp "$build/marker.exe" "$example/master/$program"
done
echo phones >"$example/master/phones/phones.dat"
cp "$installed/examples/Quorvel.ini" "$WINEPREFIX/drive_c/example.ini"
status=0
report=$(run "$installed/quorvel-check.exe" '/ini=C:\example.ini') || status=$?
[ $((status & 3)) -eq 0 ] || { echo "$report"; fail "quorvel-check exited $status on the example"; }

echo "== a newer MSI, given no properties and START=0, upgrades in place"
IFS=. read -r major minor patch <<<"$version"
newer=$major.$minor.$((patch + 1))
printf '/ini="%s"\r\n' "$settings" >"$installed/Quorvel.cfg"  # the administrator's own edit
cfg_before=$(cat "$installed/Quorvel.cfg")
cpack --config "$build/CPackConfig.cmake" -G External -D CPACK_PACKAGE_VERSION=$newer \
    -B "$work/newer" >"$work/newer.log" 2>&1 || { cat "$work/newer.log"; fail "no newer MSI"; }
newer_msi=$work/newer/quorvel-$newer-$arch.msi
msiexec /i "$(winepath -w "$newer_msi")" /qn START=0
[ "$(cat "$installed/Quorvel.cfg")" = "$cfg_before" ] || fail "the upgrade changed Quorvel.cfg"
[ -z "$(value "$run_key" Quorvel)" ] || fail "START=0 left a Run value"
[ "$(value "$(uninstall_key "$newer_msi")" DisplayVersion)" = "$newer" ] || fail "$newer is not installed"
[ -z "$(value "$key" DisplayVersion)" ] || fail "$version is still installed beside $newer"
[ -f "$installed/quorvel.exe" ] || fail "the upgrade lost quorvel.exe"
for task in Machine User; do
    [ -f "$tasks/$task" ] || fail "the upgrade lost the task $task"
done
has "$(registered Machine)" '<Interval>PT2H</Interval>'
has "$(registered User)" '<Interval>PT4H</Interval>'

echo "== msiexec /x leaves nothing"
share_before=$(cd "$share" && find . -type f -exec md5sum {} + | sort)
msiexec /x "$(winepath -w "$newer_msi")" /qn
[ ! -e "$installed" ] || fail "left behind: $(cd "$installed" && find .)"
[ -z "$(value "$run_key" Quorvel)" ] || fail "the Run value is left"
[ -z "$(ls -A "$tasks" 2>/dev/null)" ] || fail "the tasks are left: $(ls "$tasks")"
[ -z "$(value "$(uninstall_key "$newer_msi")" DisplayName)" ] || fail "Add/Remove Programs still lists it"
[ "$(cd "$share" && find . -type f -exec md5sum {} + | sort)" = "$share_before" ] ||
    fail "the uninstall changed the share"
echo "$(basename "$msi"): installed, started, upgraded and removed"
