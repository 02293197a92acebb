#!/usr/bin/env bash
# Builds Orbino and starts it in a course folder (the bundled sample course
# unless another folder is given).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
course="${1:-$root/examples/course}"
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build-release" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build-release" --target orbino
cd "$course"
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  echo "No display: starting under a virtual X server (xvfb-run)." >&2
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$root/build-release/src/orbino"
fi
exec "$root/build-release/src/orbino"
