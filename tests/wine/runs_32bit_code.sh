#!/usr/bin/env bash
# Tells whether this machine can execute 32-bit x86 code at all, which Wine's WoW64 mode needs
# to run the 32-bit Windows build. Some kernels refuse it outright; there every 32-bit Windows
# program dies under Wine whatever the DLLs, so its tests say nothing about the program.
#   runs_32bit_code.sh    exit 0 when a static 32-bit ELF runs and exits 7; otherwise print
#                         the one line that says why the 32-bit runs are skipped, exit 1
# The ELF is written here, byte by byte: an ELF header, one loadable segment, and the code
# `mov eax,1; mov ebx,7; int 0x80` (the 32-bit system call exit(7)). It needs no library, no
# loader and no 32-bit package, so only the kernel's answer decides.
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
probe=$work/exit7-i386
{
    # e_ident: ELF, 32-bit, little-endian, version 1; then type EXEC, machine i386, version 1,
    # entry 0x08048054 (just past the two headers), program headers at 52, one of 32 bytes.
    printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'
    printf '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'
    printf '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00'
    # PT_LOAD of the whole 96-byte file at 0x08048000, read and execute.
    printf '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'
    printf '\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'
    printf '\xb8\x01\x00\x00\x00\xbb\x07\x00\x00\x00\xcd\x80'
} >"$probe"
chmod 700 "$probe"
status=0
answer=$("$probe" 2>&1) || status=$?
[ "$status" -eq 7 ] && exit 0
reason=${answer##*: }
echo "skipped: this machine cannot run 32-bit code (a static 32-bit ELF exited ${status}${reason:+: $reason}), so the 32-bit Windows build is not run under Wine"
exit 1
