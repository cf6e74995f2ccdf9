#!/usr/bin/env bash
# Fails when a C or C++ file of ours differs from what the checked-in
# .clang-format makes of it. The examples keep their own layout.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files -- '*.h' '*.hpp' '*.c' '*.cc' '*.cpp' ':!:examples/**')
clang-format-14 --dry-run --Werror "${files[@]}"
echo "clang-format: ${#files[@]} files formatted"
