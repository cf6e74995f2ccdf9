#!/usr/bin/env bash
# Builds the bridge library. The analysis of examples/ is added with the
# reference analysis library.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build/main -DCMAKE_BUILD_TYPE=Release -DKERV_BUILD_TESTS=OFF -DKERV_BUILD_BENCH=OFF
cmake --build build/main -j "$(nproc)"
echo "built build/main/libKERVBridge.so"
