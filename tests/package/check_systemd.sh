#!/usr/bin/env bash
# The Debian package's systemd units under a real systemd, booted in a container made from this
# machine's own tree:
#   check_systemd.sh DEB_BUILD_DIR WORK_DIR
# DEB_BUILD_DIR holds the package (made by its cpack). In the container: every unit passes
# `systemd-analyze verify`; the machine timer, once enabled, is waiting; the machine service
# started as the timer starts it runs a due entry's setup program as root, which is still
# running after the pass has ended and finishes its work (it sleeps, then writes a file), and
# the pass's line, naming root, is in the machine log; the user timer, enabled for every user,
# runs a pass for a user with lingering enabled (a drop-in brings its first pass forward to a
# few seconds after the user's service manager starts).
# Everything happens in a private mount namespace, in an overlay of the root folder: nothing
# reaches the machine. Needs root and systemd-nspawn (package systemd-container); exits 77
# (skipped), saying why, where they are missing or no container boots.
set -euo pipefail
build=$1 work=$2
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
skip() {
    echo "skipped: $*"
    exit 77
}
[ "$(id -u)" -eq 0 ] || skip "booting a container needs root"
command -v systemd-nspawn >/dev/null || skip "systemd-nspawn is missing (package systemd-container)"
deb=$(ls "$build"/quorvel_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no package in $build (run cpack --preset deb)"
rm -rf "$work"
mkdir -p "$work"
unshare --mount --propagation private true 2>/dev/null || skip "no private mount namespace can be made here"

unshare --mount --propagation private bash -euo pipefail -c '
fail() { echo "FAIL: $*" >&2; exit 1; }
skip() { echo "skipped: $*"; exit 77; }
deb=$1 work=$2
# systemd-nspawn cleans a folder under /run/systemd/nspawn, which must be a tmpfs; it will not
# boot the root folder itself, so it boots an overlay of it, whose writes land in $work.
mkdir -p /run/systemd/nspawn "$work/upper" "$work/overlay-work" "$work/root"
mount -t tmpfs tmpfs /run/systemd/nspawn || skip "no tmpfs can be mounted here"
mount -t overlay overlay -o "lowerdir=/,upperdir=$work/upper,workdir=$work/overlay-work" "$work/root" ||
    skip "no overlay of the root folder can be mounted here"
root=$work/root
nspawn() { systemd-nspawn -D "$root" --register=no --keep-unit --link-journal=no -q "$@"; }

nspawn --pipe true >"$work/nspawn.log" 2>&1 ||
    { cat "$work/nspawn.log"; skip "systemd-nspawn cannot start a container here"; }
cp "$deb" "$root/quorvel.deb"
nspawn --pipe dpkg -i /quorvel.deb >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg -i failed"; }
nspawn --pipe useradd -m alice >/dev/null 2>&1 || fail "no user alice"

# A site: the machine settings file holds one due entry whose setup program sleeps, then
# writes who ran it; the users settings file one whose setup writes who ran it at once.
site=$root/srv/site
mkdir -p "$site"
echo master >"$site/master.txt"
printf "%s\n" "#!/bin/sh" "sleep 6" "id -un >/srv/site/machine-setup.partial" \
    "mv /srv/site/machine-setup.partial /srv/site/machine-setup" >"$site/machine-setup.sh"
printf "%s\n" "#!/bin/sh" "id -un >/srv/site/user-setup.partial" \
    "mv /srv/site/user-setup.partial /srv/site/user-setup" >"$site/user-setup.sh"
chmod 755 "$site"/*.sh
chmod 777 "$site"
entry() {
    printf "%s\n" "[Quorvel]" "Count=1" "[App1]" "Name=$1" "Source=/srv/site/master.txt" \
        "Destination=/srv/site/$2.txt" "SetupApp=/srv/site/$2-setup.sh"
}
entry "Machine Tool" machine >"$root/etc/quorvel/Machine.ini"
entry "User Tool" user >"$root/etc/quorvel/Quorvel.ini"
mkdir -p "$root/etc/systemd/user/quorvel.timer.d"
# A timer elapses up to AccuracySec (a minute by default) after its time: make it a second.
printf "%s\n" "[Timer]" "OnStartupSec=" "OnStartupSec=5s" "RandomizedDelaySec=0" \
    "AccuracySec=1s" >"$root/etc/systemd/user/quorvel.timer.d/soon.conf"

nspawn -b -- systemd.firstboot=off </dev/null >"$work/boot.log" 2>&1 &
booted=$!
# The container s process 1: the systemd whose ancestors include this nspawn.
init=
for _ in $(seq 100); do
    for candidate in $(pgrep -x systemd || true); do
        ancestor=$candidate
        while [ "$ancestor" -gt 1 ] && [ "$ancestor" != "$booted" ]; do
            ancestor=$(awk "/^PPid:/ {print \$2}" "/proc/$ancestor/status" 2>/dev/null || echo 1)
        done
        [ "$ancestor" = "$booted" ] && init=$candidate
    done
    [ -n "$init" ] && break
    kill -0 "$booted" 2>/dev/null || break
    sleep 0.2
done
[ -n "$init" ] || { cat "$work/boot.log"; skip "no container booted here"; }
inside() { nsenter -t "$init" -a "$@"; }
stop() {
    inside systemctl poweroff >/dev/null 2>&1 || true
    for _ in $(seq 150); do kill -0 "$booted" 2>/dev/null || return 0; sleep 0.2; done
    kill "$booted" 2>/dev/null || true
}
trap stop EXIT
state=
for _ in $(seq 60); do
    state=$(inside systemctl is-system-running 2>/dev/null || true)
    case $state in running | degraded) break ;; esac
    sleep 1
done
case $state in running | degraded) ;; *) skip "the container s systemd did not come up (state: $state)" ;; esac
echo "container booted: $(inside systemctl --version | head -n 1)"

echo "== systemd-analyze verify"
for unit in /usr/lib/systemd/system/quorvel-machine.service /usr/lib/systemd/system/quorvel-machine.timer \
            /usr/lib/systemd/user/quorvel.service /usr/lib/systemd/user/quorvel.timer; do
    out=$(inside systemd-analyze verify "$unit" 2>&1) || fail "$unit: $out"
    [ -z "$out" ] || fail "$unit: $out"
done

echo "== the machine timer, enabled, and its service as the timer starts it"
[ "$(inside systemctl is-enabled quorvel-machine.timer || true)" = disabled ] || fail "the machine timer is not disabled by default"
inside systemctl enable --now quorvel-machine.timer >/dev/null 2>&1 || fail "the machine timer cannot be enabled"
[ "$(inside systemctl is-active quorvel-machine.timer)" = active ] || fail "the machine timer is not active"
inside systemctl start quorvel-machine.service || fail "the machine service failed"
service=$(inside systemctl show -p ActiveState --value quorvel-machine.service)
[ "$service" != active ] && [ "$service" != activating ] || fail "the pass is still $service"
log=$root/var/log/quorvel/Machine.log
grep -q " - Machine Tool (.*, user root)" "$log" 2>/dev/null || fail "the machine log holds: $(cat "$log" 2>&1)"
[ ! -e "$site/machine-setup" ] || fail "the setup finished before the pass ended: the test proves nothing"
inside pgrep -f /srv/site/machine-setup.sh >/dev/null || fail "the setup did not outlive the pass"
for _ in $(seq 60); do [ -e "$site/machine-setup" ] && break; sleep 0.5; done
[ "$(cat "$site/machine-setup" 2>/dev/null)" = root ] || fail "the setup did not finish as root: $(cat "$site/machine-setup" 2>&1)"

echo "== the user timer, for a user with lingering enabled"
inside systemctl --global enable quorvel.timer >/dev/null 2>&1 || fail "the user timer cannot be enabled for every user"
inside loginctl enable-linger alice || fail "no lingering for alice"
for _ in $(seq 120); do [ -e "$site/user-setup" ] && break; sleep 0.5; done
[ "$(cat "$site/user-setup" 2>/dev/null)" = alice ] || fail "the user timer ran no pass for alice: $(inside journalctl -q --no-pager -n 30 2>&1)"
grep -q " - User Tool (.*, user alice)" "$root/var/log/quorvel/Quorvel.log" ||
    fail "the user log holds: $(cat "$root/var/log/quorvel/Quorvel.log" 2>&1)"
' - "$deb" "$work"
echo "$(basename "$deb"): units verified; the machine pass ran as root and its setup outlived it; the user timer ran"
