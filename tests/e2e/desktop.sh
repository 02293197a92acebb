#!/usr/bin/env bash
# Runs a command on a virtual desktop of its own: an X server (Xvfb) of the
# given size, a D-Bus session with the accessibility bus, and the openbox
# window manager, so that the program under test meets what a person's
# desktop gives it. Everything started here ends with the command.
#   desktop.sh WIDTHxHEIGHT command [args...]
set -euo pipefail
size="$1"
shift
work="$(mktemp -d "${TMPDIR:-/tmp}/orbino-desktop.XXXXXX")"
cleanup() {
  local pids
  pids="$(jobs -p)"
  [[ -n "$pids" ]] && kill $pids 2>/dev/null || true
  [[ -n "${DBUS_SESSION_BUS_PID:-}" ]] && kill "$DBUS_SESSION_BUS_PID" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display number itself and tells it on a descriptor.
exec 5>"$work/display"
Xvfb -displayfd 5 -screen 0 "${size}x24" -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
exec 5>&-
for _ in $(seq 100); do
  [[ -s "$work/display" ]] && break
  sleep 0.05
done
[[ -s "$work/display" ]] || { echo "desktop.sh: Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"

export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
eval "$(dbus-launch --sh-syntax)"
export DBUS_SESSION_BUS_PID
# Qt talks to screen readers only when asked; this is what a desktop with a
# screen reader on does.
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 NO_AT_BRIDGE=0
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/atspi.log" 2>&1 &
openbox --sm-disable >"$work/openbox.log" 2>&1 &
# The window manager is up when it owns the screen's selection.
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.05
done
# Slovak letters get keys of their own, as on a Slovak keyboard, so that
# typing them needs no remapping while the program reads the keys (a letter
# typed through a key remapped on the fly can arrive before its mapping).
letters=(aacute adiaeresis ccaron dcaron eacute iacute lacute lcaron ncaron oacute ocircumflex
         racute scaron tcaron uacute yacute zcaron)
mapfile -t spare < <(xmodmap -pke | awk '$3 == "" || $4 ~ /^XF86/ {print $2}' | tail -n "${#letters[@]}")
expr=()
for i in "${!letters[@]}"; do
  l="${letters[$i]}"
  expr+=(-e "keycode ${spare[$i]} = $l ${l^}")
done
xmodmap "${expr[@]}"
"$@"
