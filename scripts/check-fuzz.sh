#!/usr/bin/env bash
# Builds the fuzz targets with clang-14 (libFuzzer, ASan, UBSan) in the given
# build folder and runs each for KERV_FUZZ_SECONDS seconds (default 15) on a
# copy of its checked-in corpus. Fails when a target finds a fault.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/fuzz}
seconds=${KERV_FUZZ_SECONDS:-15}

# The configure preset fuzz: clang-14, fuzz targets only.
cmake --preset fuzz -B "$build" >/dev/null
cmake --build "$build" --target fuzz -j "$(nproc)"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export ASAN_OPTIONS=detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
for corpus in fuzz/corpus/*/; do
    name=$(basename "$corpus")
    mkdir -p "$work/$name"
    log=$work/$name.log
    if ! "$build/fuzz/fuzz_$name" -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$work/$name-" "$work/$name" "$corpus" >"$log" 2>&1; then
        tail -n 60 "$log" >&2
        for artifact in "$work/$name"-*; do
            [ -e "$artifact" ] || continue
            echo "failing input $(basename "$artifact") (base64): $(base64 -w0 "$artifact")" >&2
        done
        echo "fuzz_$name found a fault" >&2
        exit 1
    fi
    echo "fuzz_$name: $(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -1)"
done
