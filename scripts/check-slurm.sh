#!/usr/bin/env bash
# The engine's launcher on a one-node Slurm cluster (scripts/local-slurm.sh):
#   1. the command line on examples/ prints exactly the same through
#      KERV_LAUNCHER="srun --quiet --ntasks=1" as without a launcher;
#   2. a generated project (2,000 files) through srun gives exactly the
#      findings of a local run, and every cppcheck run ran inside a Slurm job
#      that the job completion log records as completed;
#   3. a job cancelled with scancel while its cppcheck runs leaves its files
#      analysed again: every file has results, the same findings;
#   4. a launcher naming a missing program makes aggregate fail, saying so.
# Prints the times of the local and the launched run of check 2 and the
# launcher's measured step and run size. Skips, saying why, when not run as
# root or when Slurm's packages cannot be installed. Argument: the build
# folder (default build/test); it turns the benchmarks on there and builds
# the targets it needs. KERV_SLURM_CHECK_DIR: scratch folder (default
# /tmp/kerv-check-slurm, emptied first); KERV_SLURM_CHECK_FILES: the size of
# the generated project (default 2000).
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath -m "${1:-build/test}")
work=${KERV_SLURM_CHECK_DIR:-/tmp/kerv-check-slurm}
files=${KERV_SLURM_CHECK_FILES:-2000}
launcher="srun --quiet --ntasks=1"

say() { echo "check-slurm: $*"; }
fail() {
    echo "check-slurm: FAILED: $*" >&2
    exit 1
}

cluster=$work/cluster
rm -rf "$work"
mkdir -p "$work"
started=$(scripts/local-slurm.sh start "$cluster" 2>"$work/start.log") || {
    status=$?
    if [ "$status" -eq 3 ]; then
        say "skipped: $(tail -n 1 "$work/start.log")"
        exit 0
    fi
    cat "$work/start.log" >&2
    fail "the local cluster did not start"
}
trap 'scripts/local-slurm.sh stop "$cluster"' EXIT
eval "$started"
jobcomp=$cluster/log/jobcomp.log

cmake -S . -B "$build" -DKERV_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j "$(nproc)" --target engine_scale KervJar KervAnalysis >/dev/null
driver=$build/engine/bench/engine_scale
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
unset KERV_JOBS KERV_LAUNCHER KERV_LAUNCHER_STEP KERV_CPPCHECK KERV_TIMEOUT

# The command line on examples/ with a project folder of its own; the folder's
# name is blanked so that two runs compare.
cli() {
    local projects=$work/$1 status=0
    java -Xcheck:jni -jar "$build/kerv.jar" --library "$build/libKERV.so" --project-dir "$projects" --name examples \
        --acf examples/config/analysis.acf --rcf examples/config/rules.rcf --cct examples/config/compiler.cct \
        examples >"$work/$1.out" 2>"$work/$1.err" || status=$?
    [ "$status" -eq 1 ] || fail "the command line on examples/ ($1) exited with $status: $(cat "$work/$1.err")"
    sed -i "s|$projects|PROJECTS|g" "$work/$1.out"
}

say "1. examples/ through the command line, with and without srun"
mkdir -p "$work/cli-local" "$work/cli-srun"
cli cli-local
jobs_before=$(wc -l <"$jobcomp")
KERV_LAUNCHER=$launcher cli cli-srun
diff "$work/cli-local.out" "$work/cli-srun.out" || fail "the command line printed other findings through srun"
[ "$(wc -l <"$jobcomp")" -gt "$jobs_before" ] || fail "the run through srun left no job in $jobcomp"
say "   same output, $(grep -c 'nullPointer\|memleak' "$work/cli-srun.out") of its lines name a known fault"

say "2. $files generated files, locally and through srun"
# cppcheck as seen by the engine, recording the Slurm job each analysis run is in.
cat >"$work/cppcheck-in-job" <<SCRIPT
#!/bin/sh
case "\$1" in --version|--errorlist) exec cppcheck "\$@";; esac
echo "\${SLURM_JOB_ID:-none}" >>"$work/runs.log"
# With KERV_CHECK_HOLD set, the first run waits, so that it is cancelled mid-run.
if [ -n "\${KERV_CHECK_HOLD:-}" ] && mkdir "\$KERV_CHECK_HOLD" 2>/dev/null; then sleep 30; fi
exec cppcheck "\$@"
SCRIPT
chmod +x "$work/cppcheck-in-job"
mkdir -p "$work/projects"
"$driver" generate "$work/src" "$files"
find "$work/src" -name '*.c' | sort >"$work/all.list"
for name in local launched; do "$driver" add "$work/projects" "$name" "$work/all.list" >/dev/null; done
local_time=$("$driver" aggregate "$work/projects" local)
launched_time=$(KERV_CPPCHECK=$work/cppcheck-in-job KERV_LAUNCHER=$launcher \
    "$driver" aggregate "$work/projects" launched trace 2>"$work/launched.log") ||
    fail "the run through srun left files without results: $(grep -v 'Call\|>' "$work/launched.log" | tail -n 5)"
"$driver" findings "$work/projects" local >"$work/local.findings"
"$driver" findings "$work/projects" launched >"$work/launched.findings"
[ -s "$work/local.findings" ] || fail "the local run found nothing"
cmp -s "$work/local.findings" "$work/launched.findings" || fail "other findings through srun"
runs=$(wc -l <"$work/runs.log")
grep -qx none "$work/runs.log" && fail "a cppcheck run ran outside Slurm"
completed=0
while read -r job; do
    grep -q "^JobId=$job .*JobState=COMPLETED" "$jobcomp" || fail "job $job is not completed in $jobcomp"
    completed=$((completed + 1))
done < <(sort -u "$work/runs.log")
[ "$completed" -eq "$runs" ] || fail "$runs runs in $completed jobs: each run should be a job of its own"
say "   same $(wc -l <"$work/local.findings") findings; $runs runs, each a completed job in the completion log"
say "   local:    $local_time"
say "   launched: $launched_time"
grep -o 'launcher.*a step.*\|launcher: .*runs.*' "$work/launched.log" | sed 's/^/check-slurm:    /' || true

say "3. a job cancelled in the middle of its run"
head -n 600 "$work/all.list" >"$work/some.list"
"$driver" add "$work/projects" cancelled "$work/some.list" >/dev/null
: >"$work/runs.log"
# A small step cost keeps runs short, so that the cancelled run's files are
# quickly analysed again one by one.
KERV_CHECK_HOLD=$work/hold KERV_CPPCHECK=$work/cppcheck-in-job KERV_LAUNCHER=$launcher KERV_LAUNCHER_STEP=0.05 \
    "$driver" aggregate "$work/projects" cancelled >/dev/null 2>"$work/cancelled.log" &
engine=$!
for _ in $(seq 300); do
    [ -s "$work/runs.log" ] && break
    sleep 0.1
done
victim=$(head -n 1 "$work/runs.log")
[ -n "$victim" ] || fail "no run started within 30 s"
scancel "$victim"
wait "$engine" || fail "files of the cancelled run were left without results: $(tail -n 3 "$work/cancelled.log")"
grep -q "failed through" "$work/cancelled.log" || fail "the cancelled run was not reported: $(cat "$work/cancelled.log")"
sleep 1 # the controller writes the completion record as the job ends
grep -q "^JobId=$victim .*JobState=CANCELLED" "$jobcomp" || fail "job $victim was not cancelled"
"$driver" findings "$work/projects" cancelled >"$work/cancelled.findings"
head -n 600 "$work/all.list" | sed 's|$|:|' >"$work/some.prefixes"
grep -F -f "$work/some.prefixes" "$work/local.findings" >"$work/some-local.findings" || true
cmp -s "$work/some-local.findings" "$work/cancelled.findings" ||
    fail "after the cancelled job the findings differ from a local run"
say "   job $victim cancelled; its files analysed again, the same findings as locally"

say "4. a launcher that cannot be started"
head -n 5 "$work/all.list" >"$work/few.list"
"$driver" add "$work/projects" missing "$work/few.list" >/dev/null
if KERV_LAUNCHER="$work/no-such-srun --ntasks=1" "$driver" aggregate "$work/projects" missing >/dev/null \
    2>"$work/missing.log"; then
    fail "aggregate reported success with a missing launcher"
fi
grep -q "the launcher $work/no-such-srun cannot be started" "$work/missing.log" ||
    fail "no message about the missing launcher: $(cat "$work/missing.log")"
grep -q "aggregate: status -14" "$work/missing.log" || fail "aggregate gave no failing status"
say "   aggregate failed: $(grep -m1 'the launcher' "$work/missing.log")"
say "passed"
