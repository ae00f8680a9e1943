#!/usr/bin/env bash
# Builds the Debian package from a configured build folder (default ./build): qavo_<version>-1_<arch>.deb
# in that folder. Never installs it. Usage: scripts/package.sh [BUILD_DIR] [--no-build]
# Exit 77 (a skipped test for CTest) when a tool the package needs is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build
build_first=1
for arg in "$@"; do
    case "$arg" in
    --no-build) build_first=0 ;;
    *) build=$arg ;;
    esac
done
for tool in cpack dpkg-deb dpkg-shlibdeps scdoc; do
    if ! command -v "$tool" >/dev/null; then
        echo "package.sh: $tool is missing (bash scripts/install-deps.sh installs it); no package" >&2
        exit 77
    fi
done
if [ "$build_first" = 1 ]; then cmake --build "$build" --parallel; fi
cd "$build"
rm -f qavo_*.deb
cpack -G DEB
ls qavo_*.deb
