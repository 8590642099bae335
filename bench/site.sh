#!/usr/bin/env bash
# The site summaries' speed and memory, measured against their targets. Not a test and not
# run by CI.
#
#   bash bench/site.sh            (run as root on a fresh machine to install hyperfine)
#
# Writes a site's install log of 1,000,000 lines (10,000 workstations over 100 days, one
# launch each a day, four applications; bench/site_log.py) and 20,000 pass reports, then
# prints, in one run on the same files:
#   - `quorvel-check /log-summary` and `/site` (with that log) against the baseline, an awk
#     one-liner that counts launches per application and computer: target at most a third of
#     its time;
#   - the peak resident set of both: target at most 64 MiB;
#   - `/site` over the 20,000 reports alone: target at most 2 s.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
check=$root/build/quorvel-check

source "$root/bench/need.sh"
need_packages hyperfine:hyperfine python3:python3 time:/usr/bin/time
need_build "$root" "$check"

work=$(mktemp -d /tmp/quorvel-site-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
python3 "$root/bench/site_log.py" log "$work/Quorvel.log"
python3 "$root/bench/site_log.py" reports "$work/reports"
mkdir -p "$work/none"
echo "log: $(wc -l <"$work/Quorvel.log") lines, $(stat -c %s "$work/Quorvel.log") bytes;" \
     "$(ls "$work/reports" | wc -l) reports; awk is $(readlink -f "$(command -v awk)")"

awk_line="LC_ALL=C awk -F' - ' '{c[\$2]++} END{for(k in c) n++; print n}' $work/Quorvel.log"
summary="$check /log-summary=$work/Quorvel.log /ini=$work/none/q.ini"
site_log="$check /site=$work/none /log=$work/Quorvel.log /ini=$work/none/q.ini"
site_reports="$check /site=$work/reports /log- /ini=$work/none/q.ini"

hyperfine -N --warmup 2 --runs 10 --export-json "$work/times.json" \
    -n awk "$awk_line" -n log-summary "$summary" -n site-with-log "$site_log" \
    -n site-20000-reports "$site_reports" --shell=bash >/dev/null 2>&1 ||
hyperfine --warmup 2 --runs 10 --export-json "$work/times.json" \
    -n awk "$awk_line" -n log-summary "$summary" -n site-with-log "$site_log" \
    -n site-20000-reports "$site_reports" >/dev/null

peak() {  # peak resident set of one run, in KiB
    /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1
}
python3 - "$work/times.json" "$(peak $summary)" "$(peak $site_log)" "$(peak $site_reports)" <<'PY'
import json, sys
results = {r["command"]: r for r in json.load(open(sys.argv[1]))["results"]}
mean = {name: results[name]["mean"] for name in results}
def row(name):
    r = results[name]
    return f"| {name} | {r['mean'] * 1000:.0f} ms ± {r['stddev'] * 1000:.0f} ms |"
print("| command | mean wall time (10 runs) |\n|---|---|")
for name in ("awk", "log-summary", "site-with-log", "site-20000-reports"):
    print(row(name))
peaks = [int(v) / 1024 for v in sys.argv[2:5]]
def verdict(ok):
    return "met" if ok else "**missed**"
print("\n| measure | figure | target |\n|---|---|---|")
for name in ("log-summary", "site-with-log"):
    share = mean[name] / mean["awk"]
    print(f"| {name} / awk | {share:.2f} | ≤ 0.33: {verdict(share <= 1 / 3)} |")
print(f"| peak RSS, /log-summary | {peaks[0]:.1f} MiB | ≤ 64 MiB: {verdict(peaks[0] <= 64)} |")
print(f"| peak RSS, /site with the log | {peaks[1]:.1f} MiB | ≤ 64 MiB: {verdict(peaks[1] <= 64)} |")
t = mean["site-20000-reports"]
print(f"| 20,000 reports read by /site | {t:.2f} s ({peaks[2]:.1f} MiB) | ≤ 2 s: {verdict(t <= 2)} |")
PY
