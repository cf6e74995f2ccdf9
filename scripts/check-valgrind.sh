#!/usr/bin/env bash
# Runs the 16-byte text path's page-boundary test of the given build folder
# (default build/test) under valgrind: a read or write outside the text's
# pages, or any other memcheck error, fails it.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/test}

cmake --build "$build" --target utils_page_boundary_tests -j "$(nproc)" >/dev/null
valgrind --quiet --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite \
    "$build/tests/utils/utils_page_boundary_tests"
