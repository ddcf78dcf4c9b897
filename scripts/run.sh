#!/usr/bin/env bash
# Installs what is missing, builds, and runs the command-line front end with the
# arguments given (default: scan the simulated home network, which needs neither root
# nor adapters).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh >/dev/null
[ $# -gt 0 ] || set -- --simulate sim/scenarios/av-home.json scan
exec build/app/zv350ctl/zv350ctl "$@"
