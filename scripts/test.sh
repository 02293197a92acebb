#!/usr/bin/env bash
# Builds everything from nothing with address, undefined-behaviour and leak
# sanitizers and warnings as errors and runs every test through ctest; then
# the same in a Release build, and the end-to-end suite on the Release program.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${ORBINO_TEST_BUILD:-$root/build-test}"
"$root/scripts/install-deps.sh"
rm -rf "$build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DORBINO_SANITIZE=ON -DORBINO_WERROR=ON
cmake --build "$build" -j "$(nproc)"
(cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)")

# The same tests in the Release build that people run: a test that passes only
# with sanitizers is a defect too. Then the built program itself on a virtual
# desktop, driven as a person and a screen reader do.
release="${ORBINO_RELEASE_BUILD:-$root/build-release}"
# The benchmarks are built here too (not run), so that they keep up with the code.
cmake -S "$root" -B "$release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DORBINO_WERROR=ON \
  -DORBINO_BENCH=ON >/dev/null
cmake --build "$release" -j "$(nproc)"
(cd "$release" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)")
"$root/tests/e2e/run.sh" "$release/src/orbino"
