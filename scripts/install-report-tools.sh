#!/usr/bin/env bash
# Installs what the report tests use: Debian's chromium (headless rendering of
# the HTML report, as root) and the SARIF Multitool from npm into
# KERV_REPORT_TOOLS (default /opt/kerv-report-tools), whose validate command
# checks the SARIF report. Prints one line per step; output goes to a log.
set -euo pipefail

tools=${KERV_REPORT_TOOLS:-/opt/kerv-report-tools}
log=${KERV_REPORT_TOOLS_LOG:-/tmp/kerv-install-report-tools.log}
: >"$log"
step_name=install-report-tools step_log=$log
source "$(dirname "$0")/install-step.sh"

if ! command -v chromium >/dev/null; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "install-report-tools: chromium is missing (install it as root)" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  step "installing chromium" apt-get install -y --no-install-recommends chromium
fi
if ! command -v npm >/dev/null; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "install-report-tools: npm is missing (install it as root)" >&2
    exit 1
  fi
  step "installing npm" apt-get install -y --no-install-recommends npm
fi
if [ ! -x "$tools/node_modules/.bin/sarif-multitool" ]; then
  mkdir -p "$tools"
  step "installing @microsoft/sarif-multitool into $tools" \
    npm install --prefix "$tools" --no-audit --no-fund @microsoft/sarif-multitool
fi
echo "install-report-tools: done ($tools/node_modules/.bin/sarif-multitool, $(command -v chromium))"
