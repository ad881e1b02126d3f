#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need; with the argument
# "fuzz", also what the fuzz targets need (make fuzz).
# As root it runs apt-get; otherwise it prints the one line to run and fails.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev libxcb1-dev
  qt6-translations-l10n
  libtag1-dev zlib1g-dev
  libgtest-dev
  fonts-ipafont-gothic
  xvfb xauth dbus
  python3 python3-mutagen
  poppler-utils
  # make package and its test: CPack's dependency lookup (dpkg-shlibdeps, file), the checkers,
  # and what sees the installed program's windows.
  dpkg-dev file lintian appstream desktop-file-utils xdotool x11-utils
)
# Peer readers used as oracles by the tests (small ones only); groff checks the manual page.
if [ "${WVR_ORACLES:-1}" = 1 ]; then
  packages+=(libimage-exiftool-perl id3v2 groff-base)
  # A real player for the remote-control and playlist tests (MPRIS through its plug-in).
  packages+=(mpv mpv-mpris)
fi
# ffprobe reads the audio packets back after a write; with its libraries it is a download of
# about 120 MB on a clean system, so it is only installed when asked for. Without it the two
# tests that use it are skipped (tests/data/README.md).
if [ "${WVR_LARGE_ORACLES:-0}" = 1 ]; then
  packages+=(ffmpeg)
fi
# libFuzzer and the sanitizer runtimes of clang.
if [ "${1:-}" = fuzz ]; then
  packages+=(clang-14 libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
else
  echo "Missing packages. Run:" >&2
  echo "  sudo apt-get install -y ${missing[*]}" >&2
  exit 1
fi
