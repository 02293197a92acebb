#!/usr/bin/env bash
# The end-to-end suite: the built program on a virtual desktop, driven as a
# person and a screen reader do. Every scenario at 1024x768, the main ones
# (marked both_sizes) also at 1280x1024, those marked large_screen at 1920x1080
# and at today's other monitor sizes (ORBINO_E2E_SIZES to choose others).
#   tests/e2e/run.sh [path/to/orbino] [pytest args...]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
export ORBINO_BINARY="$(realpath "${1:-$root/build-release/src/orbino}")"
shift || true
export ORBINO_E2E_ARTIFACTS="${ORBINO_E2E_ARTIFACTS:-$(dirname "$(dirname "$ORBINO_BINARY")")/e2e-artifacts}"
rm -rf "$ORBINO_E2E_ARTIFACTS"
# Debian's Python has the accessibility bindings; a Python of one's own may not.
py=/usr/bin/python3
status=0
for size in ${ORBINO_E2E_SIZES:-1024x768 1280x1024 1920x1080 1366x768 2560x1440 3840x2160}; do
  marker=(-m large_screen)
  [[ "$size" == 1024x768 ]] && marker=()
  [[ "$size" == 1280x1024 ]] && marker=(-m both_sizes)
  echo "== end-to-end scenarios at $size"
  ORBINO_E2E_SIZE="$size" "$here/desktop.sh" "$size" \
    "$py" -m pytest -p no:cacheprovider -q "$here" "${marker[@]}" "$@" || status=1
done
exit $status
