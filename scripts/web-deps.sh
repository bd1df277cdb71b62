#!/usr/bin/env bash
# Builds the libraries of the web build with Debian's Emscripten (cmake/emscripten.cmake): libogg
# and libvorbis as static WebAssembly libraries from Debian's own source packages, and libstb-dev's
# header folder linked in, so that stb_image compiles into our own translation unit. GLFW and
# OpenAL come with Emscripten itself.
#
# Usage: scripts/web-deps.sh [folder]   (build/web-deps by default)
# The folder is laid out as scripts/windows-deps.sh lays out its own (apt/, src/, build/, stage/,
# prefix/); the web preset reads prefix/. Each library, once built, is kept in the same cache
# (/var/cache/garvolin-zudodo by default); ZUDODO_WEB_DEPS_CACHE=<folder> chooses another place,
# ZUDODO_WEB_DEPS_CACHE=off none.
set -euo pipefail
cd "$(dirname "$0")/.."
here=$PWD
mkdir -p "${1:-build/web-deps}"
deps=$(cd "${1:-build/web-deps}" && pwd)
prefix=$deps/prefix
toolchain=$here/cmake/emscripten.cmake
compiler=emcc
jobs=$(nproc)
recipe=1
target=web prefix_variable=ZUDODO_WEB_DEPS cache_variable=ZUDODO_WEB_DEPS_CACHE
# emcc runs its JavaScript parts with the first node on the PATH; Debian's modules (acorn) must be
# found even when that node is not Debian's own.
export NODE_PATH=${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs
. scripts/source-deps.sh

rm -rf "$prefix"
# CMake's type-size probes find nothing under Emscripten: WebAssembly's sizes are given here.
build ogg libogg "COPYING" -DBUILD_SHARED_LIBS=OFF -DBUILD_TESTING=OFF -DINSTALL_DOCS=OFF \
  -DHAVE_INT16_SIZE=1 -DINT16_SIZE=2 -DHAVE_UINT16_SIZE=1 -DUINT16_SIZE=2 \
  -DHAVE_INT32_SIZE=1 -DINT32_SIZE=4 -DHAVE_UINT32_SIZE=1 -DUINT32_SIZE=4 \
  -DHAVE_INT64_SIZE=1 -DINT64_SIZE=8

build vorbis libvorbis "COPYING" -DBUILD_SHARED_LIBS=OFF -DBUILD_TESTING=OFF

finish "The libraries inside garvolin-zudodo.wasm were built from these Debian source packages;
Debian keeps their sources in its archive:"
