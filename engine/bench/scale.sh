#!/usr/bin/env bash
# The reference analysis library at the scale of real code bases. Prints,
# each figure with the machine's load (uptime) beside it:
#   1. 2,000 small generated C files: a full analysis through the engine
#      against cppcheck -j<cores> run directly with the same options (and,
#      for reference, cppcheck run directly as one process);
#   2. a stand-in analyser that only writes an empty report, at 2,000 and
#      20,000 files: the engine's own time per file and its growth, for files
#      without and with a build compiler (a registered compiler configuration
#      of 350 predefined macros that each file names, as the client gives a
#      compilation database's), on the first run, a re-run with nothing
#      changed, and asked file by file whether the results are up to date;
#   3. a project of 100,000 files: adding them all, reopening it, and a
#      re-run with nothing changed;
#   4. the findings on a real C code base (the libxcrypt sources of Debian's
#      libxcrypt-source) through the engine and from a direct cppcheck run
#      with the same options, and every difference.
# Setup installs the Debian packages it needs when run as root.
# Option: --launcher "<words>" runs every analysis of the engine through that
# launcher (KERV_LAUNCHER), for example --launcher "srun --quiet --ntasks=1"
# with a cluster from scripts/local-slurm.sh; the direct cppcheck runs stay
# local. KERV_JOBS, when set, is kept for the engine (a cluster's size).
# Environment: KERV_SCALE_BUILD (build folder, default build/bench-scale),
# KERV_SCALE_WORK (scratch folder, default /tmp/kerv-scale; emptied first),
# KERV_SCALE_SMALL, KERV_SCALE_MEDIUM, KERV_SCALE_LARGE (the file counts,
# default 2000, 20000, 100000), KERV_SCALE_PARTS (the parts to run, default
# "1 2 3 4").
set -euo pipefail
launcher=
while [ $# -gt 0 ]; do
    case "$1" in
    --launcher)
        launcher=${2:?--launcher needs its words}
        shift 2
        ;;
    *)
        echo "usage: $0 [--launcher \"<words>\"]" >&2
        exit 2
        ;;
    esac
done
cd "$(dirname "$0")/../.."
root=$PWD
build=${KERV_SCALE_BUILD:-$root/build/bench-scale}
work=${KERV_SCALE_WORK:-/tmp/kerv-scale}
small=${KERV_SCALE_SMALL:-2000}
medium=${KERV_SCALE_MEDIUM:-20000}
large=${KERV_SCALE_LARGE:-100000}
parts=" ${KERV_SCALE_PARTS:-1 2 3 4} "
cores=$(nproc)
codebase=/usr/src/libxcrypt

bash scripts/install-deps.sh
if [ ! -d "$codebase" ]; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "install libxcrypt-source as root first" >&2
        exit 1
    fi
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq libxcrypt-source >/dev/null
fi
# ccache only speeds rebuilds up: used when the machine has it.
launchers=()
if command -v ccache >/dev/null; then
    launchers=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DKERV_BUILD_TESTS=OFF -DKERV_BUILD_BENCH=ON \
    "${launchers[@]}" >/dev/null
cmake --build "$build" --target engine_scale -j "$cores" >/dev/null
driver=$build/engine/bench/engine_scale

rm -rf "$work"
mkdir -p "$work"
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
engine_jobs=${KERV_JOBS:-}
unset KERV_CPPCHECK KERV_JOBS KERV_LAUNCHER
# The driver with the engine's own settings: the launcher and its jobs.
engine() {
    if [ -n "$launcher" ]; then
        KERV_LAUNCHER=$launcher KERV_JOBS=${engine_jobs:-$cores} "$driver" "$@"
    else
        "$driver" "$@"
    fi
}
[ -n "$launcher" ] && echo "== every engine analysis through: $launcher (${engine_jobs:-$cores} jobs)"

load() { uptime | sed 's/.*load average: /load /'; }
# Runs a program directly; prints its wall and processor time.
timed() { "$driver" time "$@" | sed 's/ 0 files,/,/'; }
# A project of <count> generated files: <name>, its sources in <work>/<name>-src.
project() {
    local name=$1 count=$2
    mkdir -p "$work/projects"
    "$driver" generate "$work/$name-src" "$count"
    find "$work/$name-src" -name '*.c' | sort >"$work/$name.list"
    "$driver" add "$work/projects" "$name" "$work/$name.list"
}
# Microseconds a file of a timed step's line ("<step> <seconds> s <count> files, ...").
per_file() { echo "$1" | awk '{printf "%.1f", $2 * 1000000 / $4}'; }

stand_in=$work/stand-in-cppcheck
cat >"$stand_in" <<'SCRIPT'
#!/bin/sh
case "$1" in
  --version) echo "Cppcheck 0.0"; exit 0;;
  --errorlist) echo '<results version="2"><errors/></results>'; exit 0;;
esac
for argument in "$@"; do
  case "$argument" in --output-file=*) report="${argument#--output-file=}";; esac
done
# Through a launcher the report goes to standard error, as cppcheck's does.
if [ -n "${report:-}" ]; then exec 2>"$report"; fi
echo '<?xml version="1.0"?><results version="2"><errors/></results>' >&2
SCRIPT
chmod +x "$stand_in"

part() { [[ $parts == *" $1 "* ]]; }
cppcheck=$(command -v cppcheck)

if part 1; then
echo "== 1. $small generated files, every file analysed, $cores jobs"
project small "$small" | sed 's/^/   /'
mapfile -t options < <("$driver" options "$work/projects" small)
echo "   options: ${options[*]}"
echo "   engine:                     $(engine aggregate "$work/projects" small)   ($(load))"
mapfile -t files <"$work/small.list"
echo "   cppcheck -j$cores direct:        $(timed "$cppcheck" -j"$cores" "${options[@]}" \
    --output-file="$work/direct.xml" "${files[@]}")   ($(load))"
echo "   cppcheck direct, one process: $(timed "$cppcheck" "${options[@]}" --output-file="$work/direct-one.xml" \
    "${files[@]}")   ($(load))"
"$driver" findings "$work/projects" small >"$work/small-engine.txt"
"$driver" report "$work/direct.xml" >"$work/small-direct.txt"
differing=$(diff "$work/small-engine.txt" "$work/small-direct.txt" | grep -c '^[<>]' || true)
echo "   findings: engine $(wc -l <"$work/small-engine.txt"), direct $(wc -l <"$work/small-direct.txt")," \
    "differing lines $differing"
fi

if part 2; then
echo "== 2. stand-in analyser (empty reports): the engine's own cost"
export KERV_CPPCHECK=$stand_in
for count in "$small" "$medium"; do
    name=stand-in-$count
    project "$name" "$count" | sed 's/^/   /'
    "$driver" add "$work/projects" "$name-build" "$work/$name.list" build | sed 's/^/   build compiler: /'
    for variant in "$name" "$name-build"; do
        [ "$variant" = "$name" ] && echo "   $count files:" || echo "   $count files naming a build compiler:"
        for step in "aggregate:first run" "aggregate:no change" "uptodate:asked per file"; do
            result=$(engine "${step%%:*}" "$work/projects" "$variant")
            printf '     %-16s %s, %s us a file   (%s)\n' "${step#*:}:" "$result" "$(per_file "$result")" "$(load)"
        done
    done
    rm -rf "$work/$name-src"
done
unset KERV_CPPCHECK
fi

if part 3; then
export KERV_CPPCHECK=$stand_in
echo "== 3. $large files (stand-in analyser)"
added=$(project large "$large")
echo "$added" | sed 's/^/   add:      /;s/$/   ('"$(load)"')/'
echo "   reopen:   $("$driver" open "$work/projects" large)   ($(load))"
echo "   first run: $(engine aggregate "$work/projects" large)   ($(load))"
echo "   no-change re-run: $(engine aggregate "$work/projects" large)   ($(load))"
rm -rf "$work/large-src" "$work/projects/large"
unset KERV_CPPCHECK
fi

if part 4; then
echo "== 4. real code base: $codebase"
find "$codebase" -name '*.c' | sort >"$work/real.list"
echo "   $(wc -l <"$work/real.list") C files, $(xargs cat <"$work/real.list" | wc -l) lines"
mkdir -p "$work/projects"  # made by the other parts' projects when they run
"$driver" add "$work/projects" real "$work/real.list" | sed 's/^/   /'
mapfile -t options < <("$driver" options "$work/projects" real)
echo "   engine:                       $(engine aggregate "$work/projects" real)   ($(load))"
mapfile -t files <"$work/real.list"
echo "   cppcheck -j$cores direct:        $(timed "$cppcheck" -j"$cores" "${options[@]}" \
    --output-file="$work/real.xml" "${files[@]}")   ($(load))"
echo "   cppcheck direct, one process: $(timed "$cppcheck" "${options[@]}" --output-file="$work/real-one.xml" \
    "${files[@]}")   ($(load))"
"$driver" findings "$work/projects" real >"$work/real-engine.txt"
"$driver" report "$work/real.xml" >"$work/real-direct.txt"
"$driver" report "$work/real-one.xml" >"$work/real-direct-one.txt"
for direct in real-direct real-direct-one; do
    echo "   findings: engine $(wc -l <"$work/real-engine.txt"), $direct $(wc -l <"$work/$direct.txt");" \
        "differences (< engine only, > $direct only):"
    differences=$(diff "$work/real-engine.txt" "$work/$direct.txt" | grep '^[<>]' || true)
    echo "${differences:-none}" | sed 's/^/     /'
done
fi
