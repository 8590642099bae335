#!/usr/bin/env bash
# CHANGELOG.md, the Debian changelog and the project's version agree: the newest Debian entry,
# the version the build reads (res/version.h, and CMake's PROJECT_VERSION when given) and the
# newest CHANGELOG.md section name the same version, every Debian entry has its CHANGELOG.md
# section and every section its Debian entry, in the same order. Prints each disagreement.
# Usage: check_changelog.sh SOURCE_DIR [PROJECT_VERSION]
set -uo pipefail
root=${1:?usage: check_changelog.sh SOURCE_DIR [PROJECT_VERSION]}
cmake_version=${2:-}
debian=$root/packaging/debian/changelog
changes=$root/CHANGELOG.md
faults=0
fault() {
    echo "$*" >&2
    faults=$((faults + 1))
}

# Every entry's version, newest first, as dpkg reads the file.
mapfile -t debian_versions < <(dpkg-parsechangelog -l "$debian" --format rfc822 --all |
                               sed -n 's/^Version: //p')
[ ${#debian_versions[@]} -gt 0 ] || fault "$debian: no entry could be read"
# The one place the build takes its version from, read as CMakeLists.txt reads it.
header_version=$(sed -n 's/^#define QUORVEL_VERSION_TEXT "\([^"]*\)".*/\1/p' "$root/res/version.h")
[ -n "$header_version" ] || fault "$root/res/version.h: no QUORVEL_VERSION_TEXT"
# Each section heading "## VERSION (DATE)", top to bottom.
mapfile -t changes_versions < <(sed -n 's/^## \([0-9][^ ]*\)\( .*\)\{0,1\}$/\1/p' "$changes")
[ ${#changes_versions[@]} -gt 0 ] || fault "$changes: no section \"## VERSION (DATE)\""

newest_debian=${debian_versions[0]:-}
newest_changes=${changes_versions[0]:-}
[ "$newest_debian" = "$header_version" ] ||
    fault "the newest Debian changelog entry is $newest_debian, res/version.h says $header_version"
[ -z "$cmake_version" ] || [ "$cmake_version" = "$header_version" ] ||
    fault "CMake's project version is $cmake_version, res/version.h says $header_version" \
          "(configure again)"
[ "$newest_changes" = "$newest_debian" ] ||
    fault "the newest CHANGELOG.md section is $newest_changes, the newest Debian entry" \
          "$newest_debian"

for version in "${debian_versions[@]}"; do
    printf '%s\n' "${changes_versions[@]}" | grep -qxF -- "$version" ||
        fault "Debian changelog entry $version has no section in CHANGELOG.md"
done
for version in "${changes_versions[@]}"; do
    printf '%s\n' "${debian_versions[@]}" | grep -qxF -- "$version" ||
        fault "CHANGELOG.md section $version has no entry in the Debian changelog"
done
if [ "${debian_versions[*]}" != "${changes_versions[*]}" ] && [ "$faults" -eq 0 ]; then
    fault "CHANGELOG.md's sections (${changes_versions[*]}) are not in the Debian" \
          "changelog's order (${debian_versions[*]})"
fi

[ "$faults" -eq 0 ] || exit 1
echo "CHANGELOG.md, packaging/debian/changelog and res/version.h agree on $header_version" \
     "(${#debian_versions[@]} versions)"
