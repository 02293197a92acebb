#!/usr/bin/env bash
# Installs the Debian 12 packages Orbino needs to build, run and test.
# Safe to run again: it installs only what is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  # the monitor's size before Qt starts (the zoom of the designed screen)
  libxcb1-dev libxcb-randr0-dev
  qt6-charts-dev
  # QUiLoader, for the test that reads every form as Qt Designer does
  qt6-tools-dev
  libqt6sql6-sqlite
  # the full-text index's rows go in through SQLite's own calls
  libsqlite3-dev
  libbenchmark-dev
  # the benchmarks' peer for the full-text index (its FTS5 tables)
  sqlite3
  # the style check (scripts/check-format.sh)
  clang-format
  fonts-liberation
  # Qt's own texts in Slovak (qtbase_sk.qm)
  qt6-translations-l10n
  xvfb xauth
  # The end-to-end suite: a desktop with a window manager and the
  # accessibility bus, driven by mouse, keys and a screen reader's view.
  openbox x11-utils x11-xserver-utils xdotool imagemagick dbus-x11 at-spi2-core
  python3-pytest python3-pyatspi python3-gi gir1.2-atspi-2.0
  # a screen reader listening in: its spoken lines are read from its log
  orca speech-dispatcher espeak-ng
  # So that the RTF test really checks what LibreOffice reads of our files.
  libreoffice-writer-nogui
  # Windows programs of a course run through Wine; the end-to-end suite
  # builds two small Windows programs of its own to run through it
  wine wine64 gcc-mingw-w64-x86-64
  # the package and its test (scripts/package-test.sh)
  dpkg-dev file desktop-file-utils appstream man-db xdotool
)
# clang and its runtime only where fuzzing is asked for.
if [[ "${ORBINO_WITH_FUZZ:-0}" == 1 ]]; then
  packages+=(clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo=""
  if [[ $(id -u) -ne 0 ]]; then sudo="sudo"; fi
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
fi
