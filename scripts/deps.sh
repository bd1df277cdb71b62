#!/usr/bin/env bash
# Installs the Debian packages the build, the game and the tests need, when some are missing.
# Sourced by the other scripts; does nothing when everything is already there.
# zudodo_install_deps installs zudodo_packages; `zudodo_install_deps "${zudodo_play_packages[@]}"`
# only what building and running the game needs (scripts/play), and
# `zudodo_install_deps "${zudodo_windows_packages[@]}"` the Windows build's own list (scripts/windows),
# so that no other build pays for the cross compiler and Wine.
zudodo_play_packages=(build-essential cmake pkg-config
  libglfw3-dev libx11-dev libgl1-mesa-dev libgl1-mesa-dri libopenal-dev libopenal1 libstb-dev libvorbis-dev libogg-dev)
# Everything else: the tests (GoogleTest, Xvfb and the tools that drive and check the real program),
# the benchmarks, the packaging checks and the fuzz build (clang).
zudodo_packages=("${zudodo_play_packages[@]}" googletest libgtest-dev libbenchmark-dev
  xvfb xdotool x11-utils imagemagick sox vorbis-tools sndfile-programs libsdl2-dev
  dpkg-dev appstream desktop-file-utils groff-base man-db
  clang libclang-rt-14-dev)
# The Windows build: the mingw-w64 cross compiler (POSIX threads), apt-get source and dpkg-source
# for the libraries' source packages, libstb-dev's headers, GoogleTest's sources, and Wine on Xvfb
# for the tests.
zudodo_windows_packages=(cmake dpkg-dev xz-utils libstb-dev googletest g++-mingw-w64-x86-64-posix
  gcc-mingw-w64-x86-64-posix wine wine64 xvfb xdotool x11-utils imagemagick)

# The web build: Emscripten, libogg's and libvorbis's source packages, libstb-dev's headers,
# ImageMagick for the page's icon, and Chromium for the tests (scripts/web).
zudodo_web_packages=(cmake dpkg-dev xz-utils libstb-dev emscripten chromium imagemagick python3)

zudodo_install_deps() {
  local wanted=("$@") missing=()
  [ ${#wanted[@]} -eq 0 ] && wanted=("${zudodo_packages[@]}")
  for p in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing Debian packages: ${missing[*]} (run as root, or install them with apt-get)" >&2
    return 1
  fi
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq && apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}
