#!/bin/bash
# Builds the libFuzzer targets (part of the sanitizer build, made with clang) and runs each for
# a while (default 30 s each), as many at once as there are cores.
# New inputs go to build/asan/fuzz-runs/corpus; crashes to build/asan/fuzz-runs/artifacts.
set -eu
cd "$(dirname "$0")/.."
seconds="${1:-30}"
targets="fuzz_bagcontents fuzz_statefile fuzz_legacyfile fuzz_markup fuzz_scpiresponse
fuzz_hislipmessage fuzz_rpcreply fuzz_dnsmessage fuzz_profile fuzz_benchdocument"
# Only the fuzz targets and what they need; the test command has built them already.
if [ -z "${IXO_FUZZ_BUILT:-}" ]; then
    cmake --preset asan
    cmake --build --preset asan -j "$(nproc)" --target $targets
fi
export QT_QPA_PLATFORM=offscreen
# Qt is built without frame pointers, so stacks of allocations made inside it come out as
# garbage, and AddressSanitizer keeps every distinct one: over a long run that alone fills
# the memory limit. Crash stacks are unaffected; to see where a reported block was allocated,
# run the artifact again with ASAN_OPTIONS=malloc_context_size=30.
export ASAN_OPTIONS="${ASAN_OPTIONS:-malloc_context_size=0}"
export LSAN_OPTIONS="suppressions=$(pwd)/fuzz/lsan.supp"
# One target per core at a time; each writes its own log, shown when it ends.
mkdir -p build/asan/fuzz-runs/artifacts build/asan/fuzz-runs/logs
run_target() {
    target="$1"
    work="build/asan/fuzz-runs/corpus/$target"
    mkdir -p "$work"
    log="build/asan/fuzz-runs/logs/$target.log"
    if "./build/asan/fuzz/$target" -max_total_time="$seconds" -rss_limit_mb=2048 \
        -artifact_prefix=build/asan/fuzz-runs/artifacts/ -print_final_stats=1 "$work" \
        "fuzz/corpus/$target" > "$log" 2>&1; then
        echo "== $target: ${seconds}s without a crash"
        tail -n 12 "$log"
    else
        echo "== $target FAILED"
        cat "$log"
        return 1
    fi
}
failed=0
running=0
for target in $targets; do
    run_target "$target" &
    running=$((running + 1))
    if [ "$running" -ge "$(nproc)" ]; then
        wait -n || failed=1
        running=$((running - 1))
    fi
done
while [ "$running" -gt 0 ]; do
    wait -n || failed=1
    running=$((running - 1))
done
exit "$failed"
