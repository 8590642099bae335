#!/usr/bin/env bash
# The site page in a real browser: the simulated ten-computer site's page, written by
# quorvel-check, must pass tidy without a message and render in headless Chromium with no
# console message (a script error, a blocked fetch) onto a screenshot that is not blank.
#
#   render_page.sh SITE_SIMULATOR QUORVEL_CHECK WORK_FOLDER [SCREENSHOT]
#
# Exits 77 (skipped) with the reason when chromium or tidy is missing.
set -euo pipefail
simulator=$1 check=$2 work=$3 screenshot=${4:-$3/page.png}

for tool in chromium tidy; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

rm -rf "$work" && mkdir -p "$work/reports"
"$simulator" "$work/reports" "$work/Quorvel.log"
status=0
"$check" "/site=$work/reports" "/log=$work/Quorvel.log" "/ini=$work/none.ini" \
    "/html=$work/page.html" >"$work/site.txt" || status=$?
[ "$status" -eq 2 ] || { echo "quorvel-check exited $status, not 2"; cat "$work/site.txt"; exit 1; }

# tidy: exit 0 only when it has neither an error nor a warning to give; an empty site's page
# (no report, no log) too.
tidy -errors -quiet "$work/page.html" || { echo "tidy found faults in the page"; exit 1; }
mkdir -p "$work/empty"
"$check" "/site=$work/empty" /log- "/ini=$work/none.ini" "/html=$work/empty.html" >/dev/null
tidy -errors -quiet "$work/empty.html" || { echo "tidy found faults in the empty page"; exit 1; }

# A profile of its own, no sandbox (root in a container), the page as a file: nothing else.
timeout 120 chromium --headless=new --no-sandbox --disable-gpu --hide-scrollbars \
    --user-data-dir="$work/profile" --enable-logging=stderr --log-level=0 \
    --window-size=1100,1900 --screenshot="$screenshot" "file://$work/page.html" \
    2>"$work/chromium.log" >/dev/null || true
if grep -E ':CONSOLE|Uncaught|Refused to' "$work/chromium.log"; then
    echo "the browser logged the messages above"
    exit 1
fi

python3 - "$screenshot" <<'PY'
import struct, sys, zlib

def pixels(path):
    """Rows of (r, g, b) from an 8-bit, non-interlaced RGB or RGBA PNG."""
    data = open(path, "rb").read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
    at, idat, header = 8, b"", None
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    width, height, depth, colour, _, _, interlace = header
    assert depth == 8 and colour in (2, 6) and interlace == 0, header
    step = 3 if colour == 2 else 4
    raw, stride, previous, rows = zlib.decompress(idat), width * step, None, []
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        prior = previous or bytearray(stride)
        for i in range(stride):
            left = line[i - step] if i >= step else 0
            up, corner = prior[i], prior[i - step] if i >= step else 0
            if kind == 1:
                line[i] = (line[i] + left) & 255
            elif kind == 2:
                line[i] = (line[i] + up) & 255
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                line[i] = (line[i] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 255
        rows.append([tuple(line[x * step:x * step + 3]) for x in range(width)])
        previous = line
    return rows

rows = pixels(sys.argv[1])
count = sum(len(row) for row in rows)
colours = {}
for row in rows:
    for pixel in row:
        colours[pixel] = colours.get(pixel, 0) + 1
background = max(colours, key=colours.get)
inked = count - colours[background]
# The page's state colours, as the stacked bars and the charts draw them.
wanted = {(0x2e, 0x7d, 0x32): "current", (0xc6, 0x28, 0x28): "failing",
          (0x15, 0x65, 0xc0): "due"}
missing = [name for colour, name in wanted.items() if colours.get(colour, 0) < 50]
print(f"screenshot {len(rows[0])}x{len(rows)}: {inked} of {count} pixels drawn, "
      f"{len(colours)} colours")
if inked < count // 50 or len(colours) < 8 or missing:
    sys.exit(f"the page looks blank or its charts are missing ({', '.join(missing) or 'ink'})")
PY
echo "page rendered: $screenshot"
