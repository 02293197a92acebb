#!/usr/bin/env bash
# Fails when a C++ file of ours differs from what clang-format makes of it,
# so the style stays one style and diffs show only real changes.
# With --fix, formats the files in place instead.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [[ "${1:-}" == "--fix" ]]; then
  clang-format -i "${files[@]}"
  exit 0
fi
clang-format --dry-run -Werror "${files[@]}"
echo "format: ${#files[@]} files as .clang-format wants them"
