#!/bin/bash
# The layering the build relies on, checked over the tracked sources:
# - src/platform/ includes only itself, the text rules (src/text/) and the resource headers
#   (res/), never the core, the run, the check or the update code above it;
# - a platform is chosen by the preprocessor only in src/platform/ and in files whose names
#   say which platform they belong to ("-posix", "-win32").
# Prints each breach and exits 1 when there is one.
set -u
cd "$(dirname "$0")/.."
status=0

upward=$(git ls-files 'src/platform/*' |
    xargs grep -Hn '^#include "' |
    grep -Ev '#include "(platform/|text/)' |
    grep -Ev '#include "[^/"]+\.h"' || true)
# Resource headers are named without a folder; they must exist under res/.
while IFS= read -r line; do
    [ -n "$line" ] || continue
    echo "src/platform/ includes from above it: $line"
    status=1
done <<< "$upward"
for line in $(git ls-files 'src/platform/*' | xargs grep -ho '^#include "[^/"]*\.h"' |
              sed 's/#include "\(.*\)"/\1/' | sort -u); do
    [ -f "res/$line" ] || { echo "src/platform/ includes $line, which is not a resource header"; status=1; }
done

chosen=$(git ls-files 'src/*.cpp' 'src/*.h' |
    grep -Ev '^src/platform/|-(posix|win32)\.(cpp|h)$' |
    xargs grep -Hn -E '^\s*#\s*(if|ifdef|ifndef|elif).*(_WIN32|_WIN64|__linux__|__unix__|__MINGW|_MSC_VER|__APPLE__)' || true)
if [ -n "$chosen" ]; then
    echo "a platform chosen outside src/platform/ and the -posix/-win32 files:"
    echo "$chosen"
    status=1
fi
[ $status -eq 0 ] && echo "layers: src/platform/ includes nothing above it; no platform #if outside it"
exit $status
