#!/usr/bin/env bash
# Installs what is needed, builds, and starts the editor on the example tree.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${QAVO_SKIP_INSTALL:-}" != "1" ]; then bash scripts/install-deps.sh; fi
bash scripts/build.sh
exec ./build/bin/qavo "$(pwd)/resources/examples/accueil.maa"
