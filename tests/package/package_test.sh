#!/usr/bin/env bash
# The Debian package as a user meets it: built by CPack from the build folder, checked by
# lintian, appstreamcli and desktop-file-validate, installed with dpkg, its programs run from
# /usr (the window seen under Xvfb, the help pages and the plug-in found), then purged, leaving
# none of its files behind.
# usage: package_test.sh BUILD_FOLDER. Exits 77 (skipped) when it cannot run here.
set -euo pipefail

build=$(cd "$1" && pwd)
skip() {
  echo "SKIPPED: $*"
  exit 77
}

[ "$(id -u)" -eq 0 ] || skip "installing a package needs root"
for tool in cpack dpkg-shlibdeps lintian appstreamcli desktop-file-validate Xvfb xdotool; do
  command -v "$tool" >/dev/null || skip "$tool is missing (scripts/install-deps.sh installs it)"
done
# Never replace what this machine has: a wvr package, or programs installed by hand.
if dpkg-query -W -f='${Status}' wvr 2>/dev/null | grep -q installed; then
  skip "a wvr package is installed already"
fi
for program in /usr/bin/wvr /usr/bin/wvr-cli; do
  [ ! -e "$program" ] || skip "$program exists already"
done

work=$(mktemp -d)
xvfb_pid=""
wvr_pid=""
cleanup() {
  [ -z "$wvr_pid" ] || kill "$wvr_pid" 2>/dev/null || true
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
  if dpkg-query -W wvr >/dev/null 2>&1; then dpkg --purge wvr >/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAILED: $*" >&2
  exit 1
}

echo "== building the package"
(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log") || { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/out/wvr_*.deb)
echo "$deb"
dpkg-deb --field "$deb" Package Version Depends Recommends

echo "== lintian (errors and warnings fail; the hardening must leave no note either)"
# lintian warns that it runs as root; that is the test, not the package.
lintian --info --display-info --fail-on error,warning "$deb" >"$work/lintian.txt" \
  2> >(grep -v "running with root privileges" >&2) || { cat "$work/lintian.txt"; fail "lintian reports an error or a warning"; }
cat "$work/lintian.txt"
! grep -E "^I: .*(hardening-|binary-has-unneeded-section)" "$work/lintian.txt" ||
  fail "the binaries are built without the hardening flags or keep their compiler notes"

echo "== the desktop entry, the AppStream metadata and the licence"
dpkg-deb -x "$deb" "$work/root"
grep -q "<project_license>GPL-2.0-or-later</project_license>" "$work"/root/usr/share/metainfo/*.metainfo.xml ||
  fail "the AppStream metadata names no licence"
head -n 1 "$work/root/usr/share/doc/wvr/copyright" | grep -q "^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ||
  fail "the copyright file is not machine-readable"
# The release date is that of the commit built, when the tree has its history.
source=$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$build/CMakeCache.txt")
if commit_date=$(git -C "$source" log -1 --format=%cs 2>/dev/null); then
  grep -q "<release version=\"[^\"]*\" date=\"$commit_date\"" "$work"/root/usr/share/metainfo/*.metainfo.xml ||
    fail "the release date is not $commit_date, the date of the commit built"
fi
desktop-file-validate "$work/root/usr/share/applications/wvr.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$work"/root/usr/share/metainfo/*.metainfo.xml || fail "appstreamcli validate"

# What was there before, so that the purge can be checked to remove exactly the package's own.
dpkg-deb --fsys-tarfile "$deb" | tar -t | sed -e 's|^\./|/|' -e 's|/$||' | grep -v '^/\?$' >"$work/contents"
while read -r path; do [ -e "$path" ] || echo "$path"; done <"$work/contents" >"$work/new-paths"

echo "== installing"
if ! dpkg -i "$deb"; then
  # dpkg leaves a package with missing dependencies unconfigured; apt brings them.
  DEBIAN_FRONTEND=noninteractive apt-get install -f -y -qq || fail "apt-get install -f"
fi
[ "$(dpkg-query -W -f='${Status}' wvr)" = "install ok installed" ] || fail "wvr is not installed"
dpkg -L wvr >"$work/listed"
for path in /usr/bin/wvr /usr/bin/wvr-cli /usr/share/applications/wvr.desktop \
  /usr/share/icons/hicolor/scalable/apps/wvr.svg /usr/share/man/man1/wvr.1.gz \
  /usr/share/man/man1/wvr-cli.1.gz /usr/share/wvr/help/main.html /usr/lib/wvr/dll/wvr_prn.so \
  /usr/include/wvr/PrintHost.h /usr/share/doc/wvr/copyright /usr/share/lintian/overrides/wvr; do
  grep -qx "$path" "$work/listed" && [ -f "$path" ] || fail "$path is not installed"
done
ls /usr/share/metainfo/*wvr*.metainfo.xml >/dev/null || fail "no AppStream metadata installed"

echo "== wvr-cli --help"
/usr/bin/wvr-cli --help >"$work/help.txt" || fail "wvr-cli --help exits $?"
grep -q "wvr-cli list" "$work/help.txt" || fail "wvr-cli --help does not list its subcommands"

echo "== wvr under Xvfb"
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
export XDG_CONFIG_HOME="$work/config"
# Started from elsewhere, so nothing is found beside a build.
(cd "$work" && exec /usr/bin/wvr >"$work/wvr.log" 2>&1) &
wvr_pid=$!

# Waits up to 10 s for a window of the program whose name matches $1; prints its id.
window_named() {
  for _ in $(seq 100); do
    if xdotool search --onlyvisible --pid "$wvr_pid" --name "$1" 2>/dev/null | head -n 1 | grep .; then return 0; fi
    kill -0 "$wvr_pid" 2>/dev/null || { cat "$work/wvr.log" >&2; fail "wvr ended"; }
    sleep 0.1
  done
  return 1
}
main=$(window_named '^wvr$') || fail "no wvr window"
echo "window $main: $(xwininfo -id "$main" | grep -E 'geometry|Map State' | tr -s ' ' | tr '\n' ' ')"

# The plug-in: loaded at start from /usr/lib/wvr/dll, since nothing is beside /usr/bin/wvr.
grep -q " /usr/lib/wvr/dll/wvr_prn.so$" "/proc/$wvr_pid/maps" || fail "the plug-in is not loaded"
echo "plug-in loaded from /usr/lib/wvr/dll"

# The help: F1 shows the main page, titled by that page, from /usr/share/wvr/help.
page_title=$(sed -n 's|.*<title>\(.*\)</title>.*|\1|p' /usr/share/wvr/help/main.html)
xdotool windowfocus --sync "$main"
xdotool key F1
window_named "ヘルプ - ${page_title}\$" >/dev/null || fail "F1 shows no help page titled \"$page_title\""
echo "help page \"$page_title\" shown from /usr/share/wvr/help"

kill "$wvr_pid"
wait "$wvr_pid" 2>/dev/null || true
wvr_pid=""

echo "== purging"
dpkg --purge wvr >/dev/null || fail "dpkg --purge"
! dpkg-query -W -f='${Status}' wvr 2>/dev/null | grep -q installed || fail "wvr is still installed"
left=$(while read -r path; do [ ! -e "$path" ] || echo "$path"; done <"$work/new-paths")
[ -z "$left" ] || fail "left behind after the purge: $left"
echo "the package installed, ran and was removed without a trace"
