#!/usr/bin/env bash
# Fails when a source file differs from the repository's .clang-format style (clang-format 14).
set -euo pipefail
cd "$(dirname "$0")/.."
find src tests bench simulator \( -name '*.cpp' -o -name '*.h' \) -print0 |
    xargs -0 clang-format --dry-run --Werror
