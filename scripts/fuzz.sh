#!/bin/sh
# Builds the libFuzzer targets with clang and runs each for a while (default 30 s each).
# New inputs go to build/fuzz/corpus; crashes to build/fuzz/artifacts.
set -eu
cd "$(dirname "$0")/.."
seconds="${1:-30}"
cmake --preset fuzz
targets="fuzz_bagcontents fuzz_statefile fuzz_legacyfile fuzz_markup fuzz_scpiresponse
fuzz_hislipmessage fuzz_rpcreply fuzz_dnsmessage"
# Only the fuzz targets and what they need.
cmake --build --preset fuzz -j "$(nproc)" --target $targets
export QT_QPA_PLATFORM=offscreen
# Qt is built without frame pointers, so stacks of allocations made inside it come out as
# garbage, and AddressSanitizer keeps every distinct one: over a long run that alone fills
# the memory limit. Crash stacks are unaffected; to see where a reported block was allocated,
# run the artifact again with ASAN_OPTIONS=malloc_context_size=30.
export ASAN_OPTIONS="${ASAN_OPTIONS:-malloc_context_size=0}"
export LSAN_OPTIONS="suppressions=$(pwd)/fuzz/lsan.supp"
for target in $targets; do
    work="build/fuzz/corpus/$target"
    mkdir -p "$work" build/fuzz/artifacts
    echo "== $target for ${seconds}s"
    "./build/fuzz/fuzz/$target" -max_total_time="$seconds" -rss_limit_mb=2048 \
        -artifact_prefix=build/fuzz/artifacts/ -print_final_stats=1 "$work" "fuzz/corpus/$target"
done
