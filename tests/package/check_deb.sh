#!/usr/bin/env bash
# The Debian package of the packaged build, made and installed as a site would:
#   check_deb.sh DEB_BUILD_DIR WORK_DIR
# cpack run in a copy of DEB_BUILD_DIR (the original hidden meanwhile) must package the copy;
# lintian must report no error and no warning; and the package, installed by this machine's
# dpkg, must run from its autostart entry's program with /etc/quorvel/Quorvel.cfg and its
# default log folder, keep an edited Quorvel.cfg across an upgrade, and leave nothing behind
# after `dpkg -r` and `dpkg -P`. The installs happen in a private mount namespace in which
# /etc, /usr and /var are overlays on the machine's own: dpkg works as on a workstation, and
# nothing reaches the machine. Needs root, as CI runs; exits 77 (skipped) otherwise.
set -euo pipefail
build=$1 work=$2
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
if [ "$(id -u)" -ne 0 ]; then
    echo "skipped: installing a package needs root"
    exit 77
fi
for tool in cpack dpkg-deb lintian desktop-file-validate unshare setpriv; do
    command -v $tool >/dev/null || fail "$tool is missing"
done
rm -rf "$work"
mkdir -p "$work"

echo "== cpack in a copy of the build folder"
cp -a "$build" "$work/copy"
rm -f "$work"/copy/*.deb
unshare --mount --propagation private bash -c '
    mount -t tmpfs none "$1" && cd "$2" && cpack >"$2/cpack.log" 2>&1 || { cat "$2/cpack.log"; exit 1; }
    [ -z "$(ls -A "$1")" ] || { echo "cpack wrote into the original folder"; exit 1; }' \
    - "$build" "$work/copy" || fail "cpack did not package the copy"
deb=$(ls "$work"/copy/quorvel_*.deb)
version=$(dpkg-deb -f "$deb" Version)
echo "$deb: version $version"

echo "== lintian"
lintian --fail-on error,warning "$deb" 2>&1 | grep -v 'root privileges' || true
lintian --fail-on error,warning "$deb" >/dev/null 2>&1 || fail "lintian found errors or warnings"

# A newer package of the same files, for the upgrade.
IFS=. read -r major minor patch <<<"$version"
newer=$major.$minor.$((patch + 1))
dpkg-deb -R "$deb" "$work/newer"
sed -i "s/^Version: .*/Version: $newer/" "$work/newer/DEBIAN/control"
dpkg-deb -b "$work/newer" "$work/newer.deb" >/dev/null

# A settings file with one entry that is due, readable by every user.
site=$work/site
mkdir -p "$site"
echo master >"$site/master.txt"
printf '%s\n' '[Quorvel]' 'Count=1' '[App1]' 'Name=Team Notes' "Source=$site/master.txt" \
    "Destination=$site/installed.txt" 'SetupApp=/bin/true' >"$site/Quorvel.ini"
chmod -R a+rX "$work"

echo "== install, run, upgrade and remove in a private mount namespace"
unshare --mount --propagation private bash -euo pipefail -c '
fail() { echo "FAIL: $*" >&2; exit 1; }
deb=$1 newer_deb=$2 newer=$3 site=$4 work=$5
sandbox=$work/sandbox
mkdir -p "$sandbox"
mount -t tmpfs none "$sandbox"  # what the installs change, gone with the namespace
for dir in etc usr var; do
    mkdir -p "$sandbox/$dir" "$sandbox/$dir.work"
    mount -t overlay overlay -o "lowerdir=/$dir,upperdir=$sandbox/$dir,workdir=$sandbox/$dir.work" "/$dir"
done
dpkg -i "$deb" </dev/null >/dev/null
[ "$(stat -c %a:%U /var/log/quorvel)" = 1777:root ] || fail "log folder: $(stat -c %a:%U /var/log/quorvel)"
[ -f /etc/quorvel/Quorvel.cfg ] && [ ! -s /etc/quorvel/Quorvel.cfg ] || fail "no empty Quorvel.cfg"
dpkg-query -W -f="\${Conffiles}\n" quorvel | grep -q " /etc/quorvel/Quorvel.cfg " || fail "not a conffile"
entry=/etc/xdg/autostart/quorvel.desktop
desktop-file-validate "$entry" || fail "$entry does not validate"
program=$(sed -n "s/^Exec=//p" "$entry")
[ "$program" = /usr/bin/quorvel ] || fail "the autostart entry starts [$program]"

# The default settings and default log of the package, as two users log on.
cp "$site/Quorvel.ini" /etc/quorvel/Quorvel.ini
setpriv --reuid=nobody --regid=nogroup --clear-groups "$program" || fail "the run as nobody exited $?"
"$program" || fail "the run as root exited $?"
log=/var/log/quorvel/Quorvel.log
[ "$(stat -c %a:%U "$log")" = 666:nobody ] || fail "the new log is $(stat -c %a:%U "$log")"
[ "$(grep -c " - Team Notes (\\\\\\\\.*, user \(nobody\|root\))" "$log")" = 2 ] ||
    fail "the log holds: $(cat "$log")"

# The options file is read: the administrator names another log.
printf "/log=\"%s\"\n" "$work/other.log" >/etc/quorvel/Quorvel.cfg
edited=$(cat /etc/quorvel/Quorvel.cfg)
"$program"
grep -q " - Team Notes " "$work/other.log" || fail "Quorvel.cfg was not read"

dpkg -i "$newer_deb" </dev/null >/dev/null
[ "$(dpkg-query -W -f="\${Version}" quorvel)" = "$newer" ] || fail "no upgrade to $newer"
[ "$(cat /etc/quorvel/Quorvel.cfg)" = "$edited" ] || fail "the upgrade changed Quorvel.cfg"
[ -z "$(ls /etc/quorvel | grep -v "^Quorvel\.\(cfg\|ini\)$")" ] || fail "left in /etc/quorvel: $(ls /etc/quorvel)"

files=$(dpkg -L quorvel | while read -r path; do [ -d "$path" ] || echo "$path"; done)
dpkg -r quorvel </dev/null >/dev/null
for path in $files; do
    case $path in
    /etc/*) [ -e "$path" ] || fail "dpkg -r removed the conffile $path" ;;
    *) [ ! -e "$path" ] || fail "dpkg -r left $path" ;;
    esac
done
rm /etc/quorvel/Quorvel.ini  # the administrator'"'"'s own file
dpkg -P quorvel </dev/null >/dev/null
for path in $files /etc/quorvel /var/log/quorvel /usr/share/doc/quorvel; do
    [ ! -e "$path" ] || fail "dpkg -P left $path"
done
' - "$deb" "$work/newer.deb" "$newer" "$site" "$work"
echo "$deb: packaged from a copy, lintian clean, installed, run, upgraded and purged"
