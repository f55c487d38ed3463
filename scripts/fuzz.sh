#!/bin/sh
# Builds the libFuzzer targets with clang and runs each for a while (default 30 s each).
# New inputs go to build/fuzz/corpus; crashes to build/fuzz/artifacts.
set -eu
cd "$(dirname "$0")/.."
seconds="${1:-30}"
cmake --preset fuzz
targets="fuzz_bagcontents fuzz_statefile fuzz_legacyfile fuzz_markup fuzz_scpiresponse"
# Only the fuzz targets and what they need.
cmake --build --preset fuzz -j "$(nproc)" --target $targets
export QT_QPA_PLATFORM=offscreen
export LSAN_OPTIONS="suppressions=$(pwd)/fuzz/lsan.supp"
for target in $targets; do
    work="build/fuzz/corpus/$target"
    mkdir -p "$work" build/fuzz/artifacts
    echo "== $target for ${seconds}s"
    "./build/fuzz/fuzz/$target" -max_total_time="$seconds" -rss_limit_mb=2048 \
        -artifact_prefix=build/fuzz/artifacts/ -print_final_stats=1 "$work" "fuzz/corpus/$target"
done
