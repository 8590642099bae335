#!/usr/bin/env bash
# Signs the Windows release with osslsigncode: in each Windows build folder, the two programs
# and the MSI's options-file program, then the packages made from them (cpack: the ZIP and the
# MSI), then the MSI.
#   scripts/sign.sh --certificate CERT.pem --key KEY.pem [--timestamp URL] [BUILD_DIR...]
#   scripts/sign.sh --pkcs12 FILE.p12 [--timestamp URL] [BUILD_DIR...]
#                   (the PKCS#12 file's password in QUORVEL_SIGN_PASSWORD; none when unset)
#   scripts/sign.sh --make-test-certificate DIR
#                   makes DIR/certificate.pem and DIR/key.pem, a throwaway self-signed
#                   code-signing certificate (packaging/code-signing-test.cnf), for tests only
# BUILD_DIR defaults to build-win32 and build-win64. A file signed before is signed afresh.
# With --timestamp, each signature is countersigned by that RFC 3161 time-stamping service,
# so it stays valid after the certificate expires.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
usage() {
    sed -n '2,13s/^# \{0,1\}//p' "$0" >&2
    exit 2
}

certificate= key= pkcs12= timestamp= builds=()
while [ $# -gt 0 ]; do
    case $1 in
    --certificate) certificate=${2:?}; shift 2 ;;
    --key) key=${2:?}; shift 2 ;;
    --pkcs12) pkcs12=${2:?}; shift 2 ;;
    --timestamp) timestamp=${2:?}; shift 2 ;;
    --make-test-certificate)
        mkdir -p "${2:?}"
        openssl req -x509 -config "$root/packaging/code-signing-test.cnf" -newkey rsa:3072 \
            -nodes -days 2 -keyout "$2/key.pem" -out "$2/certificate.pem" 2>/dev/null
        echo "$2/certificate.pem, $2/key.pem: a throwaway code-signing certificate"
        exit 0 ;;
    -*) usage ;;
    *) builds+=("$1"); shift ;;
    esac
done
if [ -n "$pkcs12" ]; then
    # The password through a pipe, never on a command line that others may list.
    signer=(-pkcs12 "$pkcs12" -readpass <(printf %s "${QUORVEL_SIGN_PASSWORD:-}"))
elif [ -n "$certificate" ] && [ -n "$key" ]; then
    signer=(-certs "$certificate" -key "$key")
else
    usage
fi
[ -n "$timestamp" ] && signer+=(-ts "$timestamp")
command -v osslsigncode >/dev/null || { echo "osslsigncode is missing (Debian package osslsigncode)" >&2; exit 1; }
[ ${#builds[@]} -gt 0 ] || builds=("$root/build-win32" "$root/build-win64")

# Signs one file in place; an earlier signature is removed first.
sign() {
    local file=$1 unsigned=$1.unsigned signed=$1.signed signature=$1.signature
    rm -f "$unsigned" "$signed" "$signature"  # osslsigncode writes no file that exists
    if osslsigncode extract-signature -in "$file" -out "$signature" >/dev/null 2>&1; then
        osslsigncode remove-signature -in "$file" -out "$unsigned" >/dev/null
    else
        cp "$file" "$unsigned"
    fi
    osslsigncode sign "${signer[@]}" -h sha256 -n Quorvel -in "$unsigned" -out "$signed" >/dev/null
    chmod --reference="$file" "$signed"
    mv "$signed" "$file"
    rm -f "$unsigned" "$signature"
    echo "signed $file"
}

setting() { sed -n "s/^set($1 \"\(.*\)\")\$/\1/p" "$2/CPackConfig.cmake"; }
for build in "${builds[@]}"; do
    for program in quorvel.exe quorvel-check.exe quorvel-msi-options.exe; do
        sign "$build/$program"
    done
    (cd "$build" && cpack >/dev/null)
    sign "$build/quorvel-$(setting CPACK_PACKAGE_VERSION "$build")-$(setting CPACK_QUORVEL_MSI_ARCH "$build").msi"
done
