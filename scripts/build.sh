#!/usr/bin/env bash
# Configures and builds Vivanda into build/ (or $BUILD_DIR) and stages build/stage/.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
LAUNCHER=()
if command -v ccache >/dev/null 2>&1; then LAUNCHER=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} "${LAUNCHER[@]}" >/dev/null
cmake --build "$BUILD_DIR" -j"${JOBS:-$(nproc)}"
