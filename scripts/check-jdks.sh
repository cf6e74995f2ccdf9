#!/usr/bin/env bash
# Prints which JDKs the JVM tests of a build folder ran on (written by
# cmake/KervJvmTests.cmake at configure time) and how many JVM tests each
# JDK has; says so when JDK 25 was not found. Fails when the build folder
# has no JVM tests at all.
# Usage: scripts/check-jdks.sh <build-folder>
set -euo pipefail
build=${1:?usage: $0 <build-folder>}

if [ ! -f "$build/jvm-test-jdks.txt" ]; then
    echo "no JVM test configuration in $build (configure it with KERV_BUILD_TESTS=ON)" >&2
    exit 1
fi
sed '/^$/d' "$build/jvm-test-jdks.txt"
tests=$(ctest --test-dir "$build" -N -L jvm | sed -nE 's/^ *Test +#[0-9]+: //p')
on_jdk25=$(grep -c '\.jdk25$' <<<"$tests" || true)
total=$(grep -c . <<<"$tests" || true)
if [ "$total" -eq 0 ]; then
    echo "no JVM tests in $build" >&2
    exit 1
fi
echo "JVM tests: $((total - on_jdk25)) on the build's JDK, $on_jdk25 on JDK 25"
