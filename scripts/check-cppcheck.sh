#!/usr/bin/env bash
# Runs cppcheck over the project's own sources (not the examples, whose faults
# are deliberate, nor the tests). Any finding fails.
set -euo pipefail
cd "$(dirname "$0")/.."
dirs=()
for dir in api utils bridge engine fuzz bench/soak; do
    [ -d "$dir" ] && dirs+=("$dir")
done
# Two findings of cppcheck 2.10 are false and suppressed here, each checked by
# hand: missingReturn in the guarded call (every branch of its if-constexpr
# chain returns) and stlOutOfBounds in splitString (text[text.size()] is the
# string's terminating NUL, defined since C++11).
cppcheck --std=c++17 --language=c++ --enable=warning,performance,portability --inline-suppr \
    --error-exitcode=1 --quiet -j "$(nproc)" -I . \
    --suppress=missingReturn:api/KERVGuardedCall.h --suppress=stlOutOfBounds:utils/StringHelpers.cpp \
    --template='{file}:{line}: {severity}: {message} [{id}]' "${dirs[@]}"
echo "cppcheck: ${dirs[*]} clean"
