#!/usr/bin/env bash
# The main command: builds kerv.jar (the command line with the client, the
# bridge and the reference analysis library inside), then analyses examples/
# with it and prints the summary.
# Extra arguments go to the command line (for example --rules or --xml);
# KERV_MAIN_BUILD_DIR names another build folder than build/main.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${KERV_MAIN_BUILD_DIR:-build/main}

bash scripts/install-deps.sh
# The release preset in the main build folder; only the jar is built, so the
# test suites are left out.
cmake --preset release -B "$build" -DKERV_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target KervJar -j "$(nproc)" >/dev/null

mkdir -p "$build/projects"
status=0
java -Xcheck:jni -jar "$root/$build/kerv.jar" --project-dir "$root/$build/projects" --name examples \
    --acf examples/config/analysis.acf --rcf examples/config/rules.rcf --cct examples/config/compiler.cct \
    "$@" examples || status=$?
# 1 means the analysis ran and found diagnostics, which the examples have.
[ "$status" -le 1 ]
