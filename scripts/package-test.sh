#!/usr/bin/env bash
# Builds the Debian package as an administrator would and tries it as a new
# user would: a Release build, `cpack -G DEB`, the validators, `apt install`
# of the package, `orbino --version`, `--help` and `man orbino`, then orbino
# started from / under a virtual X server with a clean home: the course
# chooser must appear, and choosing the installed sample course must play
# it. The package is removed at the end, also when a step fails, so the
# script can run again. Needs root or sudo (it installs the package).
#
#   ORBINO_PACKAGE_BUILD  build folder (default: build-package)
#   ORBINO_TEST_DISPLAY   X display for the window check (default: a free one from :90)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${ORBINO_PACKAGE_BUILD:-$root/build-package}"
sudo=""
if [[ $(id -u) -ne 0 ]]; then sudo="sudo"; fi

step() { printf '\n== %s\n' "$*"; }
fail() { printf 'package-test: FAILED: %s\n' "$*" >&2; exit 1; }

"$root/scripts/install-deps.sh"

step "Release build and package"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DORBINO_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)"
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
[[ -n "$version" ]] || fail "no project version in $build/CMakeCache.txt"
rm -f "$build"/orbino_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb="$build/orbino_${version}_amd64.deb"
[[ -f "$deb" ]] || fail "cpack made no $(basename "$deb"): $(ls "$build"/*.deb 2>/dev/null || echo nothing)"
echo "$deb"
depends="$(dpkg-deb -f "$deb" Depends)"
echo "Depends: $depends"
for need in libqt6widgets6 libqt6gui6 libqt6core6 libc6 fonts-liberation qt6-translations-l10n \
            qt6-qpa-plugins libqt6sql6-sqlite; do
  grep -q "$need" <<<"$depends" || fail "the package does not depend on $need"
done

work="$(mktemp -d)"
xvfb_pid=""
app_pid=""
cleanup() {
  set +e
  [[ -n "$app_pid" ]] && kill "$app_pid" 2>/dev/null && wait "$app_pid" 2>/dev/null
  [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  if dpkg-query -W -f='${Status}' orbino 2>/dev/null | grep -q "install ok installed"; then
    DEBIAN_FRONTEND=noninteractive $sudo apt-get remove -y -qq orbino >/dev/null
  fi
  rm -rf "$work"
}
trap cleanup EXIT

step "Files in the package"
dpkg-deb -x "$deb" "$work/pkg"
for f in usr/bin/orbino usr/share/applications/orbino.desktop usr/share/metainfo/io.github.orbino.metainfo.xml \
         usr/share/icons/hicolor/scalable/apps/orbino.svg usr/share/man/man1/orbino.1 \
         usr/share/orbino/examples/course/CONFIG.TXT; do
  [[ -f "$work/pkg/$f" ]] || fail "$f is not in the package"
done
for size in 16 24 32 48 64 128 256; do
  [[ -f "$work/pkg/usr/share/icons/hicolor/${size}x${size}/apps/orbino.png" ]] || fail "no ${size}x${size} icon"
done
[[ -x "$work/pkg/usr/share/orbino/examples/course/SCPLAYER.EXE" ]] || fail "the sample player lost its run bit"

step "Install"
# A copy left by an interrupted run goes first, so the files are this build's.
if dpkg-query -W -f='${Status}' orbino 2>/dev/null | grep -q "install ok installed"; then
  DEBIAN_FRONTEND=noninteractive $sudo apt-get remove -y -qq orbino >/dev/null
fi
cp "$deb" "$work/"
chmod a+r "$work/$(basename "$deb")"
chmod a+rx "$work"
# Without Recommends, as a lean lab image installs it: what the program loads
# at run time must come through Depends.
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
  "$work/$(basename "$deb")" >/dev/null
step "Plugins the program loads, present through the package's dependencies"
for plugin in platforms/libqxcb.so sqldrivers/libqsqlite.so imageformats/libqjpeg.so imageformats/libqgif.so; do
  f="/usr/lib/x86_64-linux-gnu/qt6/plugins/$plugin"
  [[ -f "$f" ]] || fail "$plugin is missing after installing without Recommends"
  owner="$(dpkg -S "$f" 2>/dev/null | cut -d: -f1)"
  grep -qw "$owner" <<<"$depends" || [[ "$owner" == libqt6gui6 ]] \
    || fail "$plugin comes from $owner, which the package does not depend on"
done
[[ "$(command -v orbino)" == /usr/bin/orbino ]] || fail "orbino is not /usr/bin/orbino"

step "Validators on the installed files"
desktop-file-validate /usr/share/applications/orbino.desktop
appstreamcli validate --no-net /usr/share/metainfo/io.github.orbino.metainfo.xml

step "orbino --version, --help, man orbino"
out="$(cd / && orbino --version)"
[[ "$out" == "orbino $version" ]] || fail "orbino --version printed: $out"
(cd / && orbino --help) | grep -q "^Použitie: orbino" || fail "orbino --help printed no usage"
rc=0; (cd / && orbino --no-such-option) 2>/dev/null || rc=$?
[[ $rc -eq 2 ]] || fail "an unknown option ended with $rc, not 2"
# Docker-style images may keep dpkg from installing manual pages; then the
# page from the package is shown as man would show it once installed.
if [[ -f /usr/share/man/man1/orbino.1 ]]; then
  man -P cat orbino 2>/dev/null | grep -q -- "--search-text" || fail "man orbino shows no page"
else
  echo "note: dpkg left out /usr/share/man (path-exclude); checking the packaged page with man -l"
  man -P cat -l "$work/pkg/usr/share/man/man1/orbino.1" 2>/dev/null | grep -q -- "--search-text" \
    || fail "the packaged manual page does not render"
fi

step "orbino from / on a virtual screen: the chooser, then the sample course"
display="${ORBINO_TEST_DISPLAY:-}"
if [[ -z "$display" ]]; then
  for n in $(seq 90 120); do
    if [[ ! -e "/tmp/.X$n-lock" && ! -e "/tmp/.X11-unix/X$n" ]]; then display=":$n"; break; fi
  done
fi
[[ -n "$display" ]] || fail "no free X display"
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do
  DISPLAY="$display" xdotool getmouselocation >/dev/null 2>&1 && break
  sleep 0.2
done
home="$work/home"
mkdir -p "$home"
# A new user: an empty home, nothing remembered, the working directory /.
(cd / && exec env -i PATH=/usr/bin:/bin HOME="$home" USER=learner LANG=C.UTF-8 DISPLAY="$display" \
  XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" XDG_CACHE_HOME="$home/.cache" \
  XDG_RUNTIME_DIR="$work/run" orbino >"$work/orbino.log" 2>&1) &
app_pid=$!
mkdir -p -m 0700 "$work/run"
wait_window() { # name, seconds
  local i
  for i in $(seq $(($2 * 5))); do
    DISPLAY="$display" xdotool search --name "$1" 2>/dev/null | head -1 && return 0
    kill -0 "$app_pid" 2>/dev/null || return 1
    sleep 0.2
  done
  return 1
}
chooser="$(wait_window "Vyberte priečinok kurzu" 30)" || { cat "$work/orbino.log" >&2; fail "the course chooser did not appear"; }
echo "chooser window: $chooser"
sample=/usr/share/orbino/examples/course
before="$(find "$sample" -printf '%p %s\n' | sort)"
# The name field has the focus: the installed sample course, then Enter.
DISPLAY="$display" timeout 10 xdotool windowfocus --sync "$chooser" || true
DISPLAY="$display" xdotool type --delay 20 "$sample"
sleep 0.5
# Enter may first close the completion list, then enter the folder, then
# choose it: one press a second while the chooser is open, at most five.
for _ in 1 2 3 4 5; do
  DISPLAY="$display" xdotool search --name "Vyberte priečinok kurzu" >/dev/null 2>&1 || break
  DISPLAY="$display" xdotool key Return
  sleep 1
done
wait_window "Práca s počítačom" 30 >/dev/null || { cat "$work/orbino.log" >&2; fail "the sample course did not open"; }
grep -q "^last=$sample\$" "$home/.config/orbino/orbino.conf" || fail "the chosen course was not remembered"
[[ "$(find "$sample" -printf '%p %s\n' | sort)" == "$before" ]] || fail "something was written into the course"
echo "the sample course plays; nothing written into it"

echo
echo "package-test: all steps passed ($(basename "$deb"))"
