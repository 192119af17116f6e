#!/usr/bin/env bash
# Installs what Vivanda needs, builds it, stages build/stage/ and launches the program from there.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh
cd "${BUILD_DIR:-build}/stage"
exec ./vivanda
