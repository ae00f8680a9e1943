#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test on the offscreen platform.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${QAVO_SKIP_INSTALL:-}" != "1" ]; then bash scripts/install-deps.sh; fi
bash scripts/build.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure --timeout 300
