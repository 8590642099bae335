#!/usr/bin/env bash
# Builds the fuzz targets (preset "fuzz": clang, libFuzzer, ASan and UBSan) and runs each for
# SECONDS (default 30), one after another. Inputs found along the way go to
# $FUZZ_OUT/corpus/<target>/ (FUZZ_OUT defaults to build-fuzz; the seeds in tests/fuzz/corpus/
# are only read), a failing input to $FUZZ_OUT/findings/, each run's output to
# $FUZZ_OUT/logs/<target>.log. Prints one line per target (time, executions, findings) and
# fails when any target found something.
#   scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-30}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] ||
    targets=(switch_parser option_pass profile_read win_ini version_read command_line_split
             site_inputs manifest_read)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2 >/dev/null

out=${FUZZ_OUT:-build-fuzz}
mkdir -p "$out/logs" "$out/findings"
failed=0
for target in "${targets[@]}"; do
    mkdir -p "$out/corpus/$target"
    log="$out/logs/$target.log"
    status=0
    "build-fuzz/${target}_fuzz" -max_total_time="$seconds" -timeout=25 -print_final_stats=1 \
        -artifact_prefix="$out/findings/$target-" \
        "$out/corpus/$target" "tests/fuzz/corpus/$target" >"$log" 2>&1 || status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    found=$(grep -c '^artifact_prefix=.*Test unit written to' "$log" || true)
    [ "$status" -eq 0 ] || failed=1
    printf '%-20s %5ss  %10s executions  %s finding(s)%s\n' "$target" "$seconds" \
        "${runs:-?}" "$found" "$([ "$status" -eq 0 ] || echo "  (exit $status, see $log)")"
done
exit "$failed"
