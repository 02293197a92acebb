#!/usr/bin/env bash
# Builds everything from nothing with address, undefined-behaviour and leak
# sanitizers and warnings as errors, then runs every test through ctest.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${ORBINO_TEST_BUILD:-$root/build-test}"
"$root/scripts/install-deps.sh"
rm -rf "$build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DORBINO_SANITIZE=ON -DORBINO_WERROR=ON
cmake --build "$build" -j "$(nproc)"
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)"
