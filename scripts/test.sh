#!/usr/bin/env bash
# Runs every check of CI and fails on any finding:
#   1. the build with warnings as errors and its tests, the text path's
#      page-boundary test again under valgrind;
#   2. the AddressSanitizer + UndefinedBehaviorSanitizer build and its tests
#      (C++ and JVM), failing on any sanitizer report of any process;
#   3. the logger's thread test built with ThreadSanitizer;
#   4. a short run of every fuzz target (clang, libFuzzer);
#   5. the engine's launcher on a local Slurm cluster (skipped without root);
#   6. clang-tidy, cppcheck and the clang-format check of our own sources.
# The builds are the presets of CMakePresets.json: the first is the workflow
# preset ci (configure preset werror, its build and its tests), the others the
# configure presets asan, tsan and fuzz. KERV_CI_BUILD_DIR (default build/test,
# the presets' folder) names the first build folder; the others get the
# suffixes -sanitize, -tsan and -fuzz.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
# The report tests' tools (SARIF Multitool, chromium); CI must not skip them.
bash scripts/install-report-tools.sh
export KERV_REPORT_TOOLS_REQUIRED=1

build=${KERV_CI_BUILD_DIR:-build/test}
jobs=$(nproc)
export CMAKE_BUILD_PARALLEL_LEVEL=$jobs CTEST_PARALLEL_LEVEL=$jobs
started=$SECONDS
summaries=()

stage() { printf '\n==== %s (at %d s)\n' "$1" $((SECONDS - started)); }

# Keeps the summary line of the ctest output in a build folder's log.
keep_summary() {
    summaries+=("$1: $(grep -E 'tests passed, [0-9]+ tests? failed out of' "$1/ctest-output.txt" | tail -1)")
}

# Runs ctest in a build folder and keeps its summary line.
run_ctest() {
    local dir=$1
    shift
    if ! ctest --test-dir "$dir" --output-on-failure "$@" 2>&1 | tee "$dir/ctest-output.txt"; then
        echo "ctest failed in $dir" >&2
        exit 1
    fi
    keep_summary "$dir"
}

# Configures a build folder with a configure preset.
configure() {
    cmake --preset "$1" -B "$2"
}

stage "build with warnings as errors, and its tests"
# The benchmarks and the soak run are built here too, so that they keep
# compiling (the soak itself is its own command), and the Java client's
# documentation, with every doclint finding an error.
if [ "$build" = build/test ]; then
    mkdir -p "$build"
    if ! cmake --workflow --preset ci 2>&1 | tee "$build/ctest-output.txt"; then
        echo "the workflow ci failed" >&2
        exit 1
    fi
    keep_summary "$build"
else
    configure werror "$build"
    cmake --build "$build" --target all KervClientJavadoc
    run_ctest "$build"
fi
bash scripts/check-jdks.sh "$build"
# The corpus replay is built only where clang's fuzzing headers are found; CI
# must not lose it silently, as the random-input checks live there.
if ! ctest --test-dir "$build" -N -L fuzz | grep -q 'Total Tests: [1-9]'; then
    echo "no fuzz corpus replay in $build: clang's fuzzing headers were not found" >&2
    exit 1
fi

stage "text path under valgrind"
bash scripts/check-valgrind.sh "$build"

stage "sanitized build"
sanitized=$build-sanitize
configure asan "$sanitized"
cmake --build "$sanitized"

stage "sanitized tests"
sanitizer_report='runtime error:|ERROR: (Address|Leak|UndefinedBehavior)Sanitizer|SUMMARY: (Address|Leak|UndefinedBehavior)Sanitizer'
reports=$(cd "$sanitized" && pwd)/sanitizer-reports
rm -rf "$reports" && mkdir -p "$reports"
# The sanitizer options name this run's report folder, so the tests run here
# rather than through the test preset asan.
# C++ tests: leaks detected, every report fatal. The JVM tests override
# ASAN_OPTIONS through their CTest environment (cmake/KERVSanitizers.cmake).
export ASAN_OPTIONS="detect_leaks=1:check_initialization_order=1:strict_init_order=1:detect_stack_use_after_return=1:log_path=$reports/asan"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:log_path=$reports/ubsan"
run_ctest "$sanitized"
unset ASAN_OPTIONS UBSAN_OPTIONS
bash scripts/check-jdks.sh "$sanitized"
# A report fails CI even when its process's exit status went unchecked: it is
# either in a report file or in the captured output of some test.
if [ -n "$(ls -A "$reports")" ]; then
    echo "sanitizer reports:" >&2
    for report in "$reports"/*; do
        echo "--- $report" >&2
        cat "$report" >&2
    done
    exit 1
fi
if grep -E -B2 -A20 "$sanitizer_report" "$sanitized/Testing/Temporary/LastTest.log" >&2; then
    echo "sanitizer report in the output of a test" >&2
    exit 1
fi

stage "logger under ThreadSanitizer"
tsan=$build-tsan
configure tsan "$tsan"
cmake --build "$tsan" --target kerv_logger_threads_test
TSAN_OPTIONS=halt_on_error=1 run_ctest "$tsan" -R '^LoggerThreads\.'

stage "fuzz targets, short runs"
bash scripts/check-fuzz.sh "$build-fuzz"

stage "launcher on a local Slurm cluster"
bash scripts/check-slurm.sh "$build"

stage "clang-tidy"
bash scripts/check-tidy.sh "$build"

stage "cppcheck"
bash scripts/check-cppcheck.sh

stage "format"
bash scripts/check-format.sh

stage "done"
for line in "${summaries[@]}"; do echo "$line"; done
passed=0 failed=0
for line in "${summaries[@]}"; do
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
    bad=$(sed -E 's/.*tests passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
done
echo "all checks passed in $((SECONDS - started)) s"
echo "$passed passed, $failed failed"
