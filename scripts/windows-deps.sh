#!/usr/bin/env bash
# Builds the libraries of the Windows build with the mingw-w64 toolchain
# (cmake/mingw-w64-x86_64.cmake): GLFW 3, libogg and libvorbis as static libraries and OpenAL Soft
# as OpenAL32.dll (it is LGPL: it stays a DLL that a player can replace), each from Debian's own
# source package; GoogleTest from the googletest package's sources, for the platform test; and
# libstb-dev's header folder linked in, so that stb_image compiles into our own translation unit.
#
# Usage: scripts/windows-deps.sh [folder]   (build/windows-deps by default)
# The folder gets apt/ (a private apt state with deb-src entries for the machine's own Debian
# mirrors; the system's apt configuration is left alone), src/ (the unpacked source packages),
# build/, stage/ (each library installed on its own) and prefix/, all of them merged: the install
# prefix that the windows preset reads. prefix/share/licenses holds the shipped libraries' licences
# and names the source packages they came from.
#
# Each library, once built, is kept in a cache under a key made of its build options, the toolchain
# file and the compiler's version, and later builds in any clone take it from there: by default
# /var/cache/garvolin-zudodo (~/.cache/garvolin-zudodo when that cannot be written);
# ZUDODO_WINDOWS_DEPS_CACHE=<folder> chooses another place, ZUDODO_WINDOWS_DEPS_CACHE=off none.
set -euo pipefail
cd "$(dirname "$0")/.."
here=$PWD
mkdir -p "${1:-build/windows-deps}"
deps=$(cd "${1:-build/windows-deps}" && pwd)
prefix=$deps/prefix
toolchain=$here/cmake/mingw-w64-x86_64.cmake
compiler=x86_64-w64-mingw32-g++-posix
jobs=$(nproc)
# Raised when the way a library is built changes without its options changing.
recipe=2
target=windows prefix_variable=ZUDODO_WINDOWS_DEPS cache_variable=ZUDODO_WINDOWS_DEPS_CACHE
. scripts/source-deps.sh

# The prefix is the union of the stages, made anew each run.
rm -rf "$prefix"
build glfw glfw3 "LICENSE.md" -DBUILD_SHARED_LIBS=OFF \
  -DGLFW_BUILD_EXAMPLES=OFF -DGLFW_BUILD_TESTS=OFF -DGLFW_BUILD_DOCS=OFF

build ogg libogg "COPYING" -DBUILD_SHARED_LIBS=OFF -DBUILD_TESTING=OFF -DINSTALL_DOCS=OFF

build vorbis libvorbis "COPYING" -DBUILD_SHARED_LIBS=OFF -DBUILD_TESTING=OFF

# Only the Windows backends (WASAPI, DirectSound, WinMM); no utilities, examples, EAX, embedded HRTF
# data or configuration samples. The C and C++ runtimes are linked into the DLL.
build openal openal-soft "COPYING BSD-3Clause LICENSE-pffft fmt-*/LICENSE" \
  -DLIBTYPE=SHARED -DALSOFT_UTILS=OFF -DALSOFT_NO_CONFIG_UTIL=ON -DALSOFT_EXAMPLES=OFF \
  -DALSOFT_TESTS=OFF -DALSOFT_INSTALL_CONFIG=OFF -DALSOFT_INSTALL_HRTF_DATA=OFF \
  -DALSOFT_INSTALL_AMBDEC_PRESETS=OFF -DALSOFT_INSTALL_EXAMPLES=OFF -DALSOFT_INSTALL_UTILS=OFF \
  -DALSOFT_UPDATE_BUILD_VERSION=OFF -DALSOFT_EAX=OFF -DALSOFT_EMBED_HRTF_DATA=OFF \
  -DALSOFT_BACKEND_WASAPI=ON -DALSOFT_BACKEND_DSOUND=ON -DALSOFT_BACKEND_WINMM=ON \
  -DALSOFT_BACKEND_PIPEWIRE=OFF -DALSOFT_BACKEND_PULSEAUDIO=OFF -DALSOFT_BACKEND_JACK=OFF \
  -DALSOFT_BACKEND_PORTAUDIO=OFF -DALSOFT_BACKEND_SDL2=OFF -DALSOFT_BACKEND_SDL3=OFF \
  -DALSOFT_BACKEND_WAVE=OFF -DALSOFT_BACKEND_OTHERIO=OFF \
  -DALSOFT_STATIC_LIBGCC=ON -DALSOFT_STATIC_STDCXX=ON -DALSOFT_STATIC_WINPTHREAD=ON

# For the platform test only; not shipped.
if [ ! -f /usr/src/googletest/CMakeLists.txt ]; then
  echo "windows-deps: /usr/src/googletest is missing (Debian package googletest)" >&2
  exit 1
fi
build gtest /usr/src/googletest "" -DBUILD_GMOCK=OFF

finish "The libraries beside and inside garvolin-zudodo.exe were built from these Debian source
packages; Debian keeps their sources in its archive:"
