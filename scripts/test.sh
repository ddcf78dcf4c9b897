#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test. The tests that put frames on a
# veth pair between network namespaces need root and are skipped (with the reason) without.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
cd "${BUILD_DIR:-build}"
ctest --output-on-failure -j2 --timeout 600
