#!/bin/sh
# A manual page passes when neither mandoc's lint nor groff's warnings say anything about it.
# Usage: lint_manual.sh PAGE
out=$(mandoc -T lint "$1" 2>&1; groff -ww -mandoc -z "$1" 2>&1)
[ -z "$out" ] && exit 0
printf '%s\n' "$out"
exit 1
