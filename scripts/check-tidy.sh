#!/usr/bin/env bash
# Runs clang-tidy (checks in .clang-tidy) over the project's own sources in
# the compile database of the given build folder, two files at a time per
# core. Tests, benchmarks' third-party code and generated headers are left out.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/test}
ours="^$PWD/(api|utils|bridge|engine|fuzz|bench/soak)/"

if [ ! -f "$build/compile_commands.json" ]; then
    echo "no $build/compile_commands.json: configure with -DCMAKE_EXPORT_COMPILE_COMMANDS=ON" >&2
    exit 1
fi
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! run-clang-tidy-14 -p "$build" -j "$(nproc)" -quiet -header-filter="$ours" "$ours" >"$log" 2>&1; then
    grep -E 'warning:|error:' -A3 "$log" >&2 || cat "$log" >&2
    echo "clang-tidy found problems" >&2
    exit 1
fi
echo "clang-tidy: $(grep -c '^clang-tidy-14 ' "$log" || true) files clean"
