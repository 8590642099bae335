#!/usr/bin/env bash
# Every signed file of the Windows release carries one valid signature by the certificate:
#   check_signatures.sh CERTIFICATE BUILD_DIR...
# (scripts/sign.sh signs them; CI signs with a throwaway certificate it makes at build time.)
# Exits 77 (skipped) when there is no certificate: nothing was signed.
set -euo pipefail
certificate=$1
shift
if [ ! -f "$certificate" ]; then
    echo "skipped: no certificate at $certificate (run scripts/sign.sh first)"
    exit 77
fi
setting() { sed -n "s/^set($1 \"\(.*\)\")\$/\1/p" "$2/CPackConfig.cmake"; }
failed=0
for build in "$@"; do
    msi=quorvel-$(setting CPACK_PACKAGE_VERSION "$build")-$(setting CPACK_QUORVEL_MSI_ARCH "$build").msi
    for file in quorvel.exe quorvel-check.exe quorvel-msi-options.exe "$msi"; do
        report=$(osslsigncode verify -CAfile "$certificate" -in "$build/$file" 2>&1) || true
        if grep -q '^Number of verified signatures: 1$' <<<"$report" &&
           [ "$(tail -n 1 <<<"$report")" = Succeeded ]; then
            echo "$build/$file: signed"
        else
            echo "$build/$file: no valid signature"$'\n'"$report" >&2
            failed=1
        fi
    done
done
exit $failed
