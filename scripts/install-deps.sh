#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when some are
# missing. Needs root for apt-get; otherwise it only reports what is missing.
# Prints one line per step; apt's own output goes to a log file
# (KERV_DEPS_LOG, default /tmp/kerv-install-deps.log), whose end is shown
# when a step fails.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  openjdk-17-jdk-headless junit5
  libpugixml-dev zlib1g-dev cppcheck valgrind
  libjackson2-core-java
  neovim
  maven libmaven-compiler-plugin-java libmaven-resources-plugin-java
  clang-14 libclang-rt-14-dev clang-tidy clang-format
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "missing packages (install them as root): ${missing[*]}" >&2
  exit 1
fi

log=${KERV_DEPS_LOG:-/tmp/kerv-install-deps.log}
: >"$log"
step_name=install-deps step_log=$log
source "$(dirname "$0")/install-step.sh"

export DEBIAN_FRONTEND=noninteractive
step "updating the package lists" apt-get update
step "installing ${missing[*]}" apt-get install -y --no-install-recommends "${missing[@]}"
echo "install-deps: done (log in $log)"
