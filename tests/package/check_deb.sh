#!/bin/sh
# Builds the Debian package of the POSIX build into a fresh folder and checks that it holds
# the program (with its version), its manual page, the README and the examples.
# Usage: check_deb.sh BUILD_DIR WORK_DIR
set -eu
build=$1
work=$2
command -v dpkg-deb >/dev/null || { echo "dpkg-deb is missing (package dpkg-dev)"; exit 1; }
rm -rf "$work"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work.log" 2>&1 ||
    { cat "$work.log"; exit 1; }
package=$(ls "$work"/*.deb)
contents=$(dpkg-deb -c "$package")
for path in ./usr/bin/quorvel ./usr/share/man/man1/quorvel.1 ./usr/share/doc/quorvel/README.md \
            ./usr/share/doc/quorvel/examples/Quorvel.ini ./usr/bin/quorvel-check \
            ./usr/share/man/man1/quorvel-check.1; do
    echo "$contents" | grep -q " $path\$" || { echo "$package lacks $path"; echo "$contents"; exit 1; }
done
# The package's version and the one the program carries both come from res/version.h.
version=$(dpkg-deb -f "$package" Version)
dpkg-deb -x "$package" "$work/root"
grep -aq "QUORVEL_VERSION=$version" "$work/root/usr/bin/quorvel" ||
    { echo "the packaged program does not carry QUORVEL_VERSION=$version"; exit 1; }
echo "$package: version $version"
