# What the benchmark scripts need, for them to source.

# need_packages PACKAGE:COMMAND...: installs the packages whose command is missing (as root).
need_packages() {
    local missing=() pair
    for pair in "$@"; do
        command -v "${pair#*:}" >/dev/null || missing+=("${pair%%:*}")
    done
    [ ${#missing[@]} -eq 0 ] && return
    [ "$(id -u)" -eq 0 ] || { echo "missing: ${missing[*]} (run as root to install them)" >&2; exit 1; }
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
}

# need_build ROOT FILE...: builds the default preset unless every FILE is there.
need_build() {
    local root=$1 file
    shift
    for file in "$@"; do
        if [ ! -e "$file" ]; then
            (cd "$root" && cmake --preset default >/dev/null && cmake --build --preset default -j2 >/dev/null)
            return
        fi
    done
}
