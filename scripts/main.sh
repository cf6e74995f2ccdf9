#!/usr/bin/env bash
# The main command: builds the bridge, the reference analysis library and the
# command line, then analyses examples/ through Java and prints the summary.
# Extra arguments go to the command line (for example --rules or --xml);
# KERV_MAIN_BUILD_DIR names another build folder than build/main.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${KERV_MAIN_BUILD_DIR:-build/main}

bash scripts/install-deps.sh
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DKERV_BUILD_TESTS=OFF -DKERV_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target KERVBridge KERV KERVCliJar -j "$(nproc)" >/dev/null

mkdir -p "$build/projects"
status=0
java -Xcheck:jni -Dcom.quorvel.bridge.library="$root/$build/libKERVBridge.so" \
    -cp "$root/$build/java/client/kerv-client.jar:$root/$build/java/cli/kerv-cli.jar:/usr/share/java/jackson-core.jar" com.quorvel.bridge.cli.Main \
    --library "$root/$build/libKERV.so" --project-dir "$root/$build/projects" --name examples \
    --acf examples/config/analysis.acf --rcf examples/config/rules.rcf --cct examples/config/compiler.cct \
    "$@" examples || status=$?
# 1 means the analysis ran and found diagnostics, which the examples have.
[ "$status" -le 1 ]
