#!/bin/bash
# Builds the fuzz targets with clang into build/fuzz and runs each one for
# DURATION_SECONDS (default 5) on its corpus in build/fuzz/corpus/<target>.
# Prints the executions of each target; exits non-zero when one crashes.
set -u
duration=${1:-5}
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/fuzz"

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSKARNVALE_FUZZ=ON \
      -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang >/dev/null || exit 1
cmake --build "$build" --target fuzz_targets -j2 >/dev/null || {
    cmake --build "$build" --target fuzz_targets -j1 2>&1 | tail -30
    exit 1
}

targets=(fuzz_line_buffer fuzz_reply fuzz_header fuzz_header_words fuzz_mime_body fuzz_multiline fuzz_dotted_address fuzz_md5 fuzz_lcd_font
         fuzz_oauth_json fuzz_http_response fuzz_quarantine_record fuzz_imap_reader fuzz_popup_rules)
failed=0
for target in "${targets[@]}"; do
    corpus="$build/corpus/$target"
    artifacts="$build/artifacts/$target/"
    mkdir -p "$corpus" "$artifacts"
    log="$build/$target.log"
    "$build/fuzz/$target" "$corpus" -max_total_time="$duration" -max_len=4500 -timeout=10 \
        -rss_limit_mb=2048 -artifact_prefix="$artifacts" -print_final_stats=1 >"$log" 2>&1
    status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    if [ "$status" -eq 0 ]; then
        echo "$target: ${runs:-?} executions, no crash"
    else
        failed=1
        echo "$target: CRASH after ${runs:-?} executions (exit $status); log $log, input in $artifacts"
        grep -E 'ERROR|SUMMARY|Test unit written' "$log" | head -5
    fi
done
exit $failed
