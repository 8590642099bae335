#!/usr/bin/env bash
# Gives Wine the 32-bit Windows-side DLLs that its WoW64 mode needs to run 32-bit programs
# with the 64-bit loader (the amd64 packages carry none). They come from the libwine:i386
# package of the installed Wine version, downloaded and unpacked, never installed:
#   install_pe32_dlls.sh [FOLDER]   FOLDER defaults to /opt/wine-i386-pe; the DLLs land in
#                                   FOLDER/i386-windows, which WINEDLLPATH=FOLDER points at.
# Does nothing when they are there already. Needs root otherwise.
set -euo pipefail
dest=${1:-/opt/wine-i386-pe}
[ -f "$dest/i386-windows/ntdll.dll" ] && exit 0
if [ "$(id -u)" -ne 0 ]; then
    echo "the 32-bit Wine DLLs are missing from $dest (run as root to fetch them)" >&2
    exit 1
fi

version=$(dpkg-query -W -f='${Version}' libwine:amd64)
work=$(mktemp -d)
chmod 755 "$work"  # apt downloads as its own user
added_arch=
cleanup() {
    rm -rf "$work"
    # Leave the package lists as they were: the i386 architecture only served the download.
    if [ -n "$added_arch" ]; then
        dpkg --remove-architecture i386 && apt-get update -qq || true
    fi
}
trap cleanup EXIT

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
    added_arch=yes
fi
apt-get update -qq
(cd "$work" && apt-get download -qq "libwine:i386=$version")
dpkg-deb --fsys-tarfile "$work"/libwine_*_i386.deb |
    tar -x -C "$work" ./usr/lib/i386-linux-gnu/wine/i386-windows
# Debug sections are most of their size (about 550 MB, 200 MB without).
find "$work/usr/lib/i386-linux-gnu/wine/i386-windows" -type f \
    -exec i686-w64-mingw32-strip --strip-debug {} + 2>/dev/null || true

mkdir -p "$dest"
rm -rf "$dest/i386-windows.partial"
mv "$work/usr/lib/i386-linux-gnu/wine/i386-windows" "$dest/i386-windows.partial"
mv "$dest/i386-windows.partial" "$dest/i386-windows"
