# Sourced by the MSI checks, with `build` set to a Windows build folder: defines `fail` and
# sets `version`, `arch` (x86 or x64) and `msi`, the package its cpack made, which must exist.
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
setting() { sed -n "s/^set($1 \"\(.*\)\")\$/\1/p" "$build/CPackConfig.cmake"; }
version=$(setting CPACK_PACKAGE_VERSION)
arch=$(setting CPACK_QUORVEL_MSI_ARCH)
msi=$build/quorvel-$version-$arch.msi
[ -f "$msi" ] || fail "$msi is missing (run cpack in $build)"
