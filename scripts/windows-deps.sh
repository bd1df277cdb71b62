#!/usr/bin/env bash
# Builds the libraries of the Windows build from Debian's own source packages with the mingw-w64
# toolchain (cmake/mingw-w64-x86_64.cmake): GLFW 3, libogg and libvorbis as static libraries, and
# OpenAL Soft as OpenAL32.dll (it is LGPL: it stays a DLL that a player can replace). libstb-dev's
# headers are linked into the prefix so that stb_image compiles into our own translation unit.
#
# Usage: scripts/windows-deps.sh [folder]   (build/windows-deps by default)
# The folder gets apt/ (a private apt state with deb-src entries for the machine's own Debian
# mirrors; the system's apt configuration is left alone), src/ (the unpacked source packages),
# build/ and prefix/, the install prefix that the windows preset reads. prefix/share/licenses holds
# the libraries' licences and the source packages they came from. A library already built is not
# built again.
#
# A finished prefix is kept in a cache, by default /var/cache/garvolin-zudodo (or
# ~/.cache/garvolin-zudodo when that cannot be written), under a key made of this script, the
# toolchain file and the compiler's version; the next build in a fresh clone takes it from there.
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

# The machine's own Debian release gives the sources. Where its mirror does not serve a package's
# source, the upstream tarball of the next release's package is taken instead.
. /etc/os-release
release=${VERSION_CODENAME:?no release codename in /etc/os-release}
next_release=trixie

# --- Cache -----------------------------------------------------------------------------------------
cache_root=${ZUDODO_WINDOWS_DEPS_CACHE:-}
if [ -z "$cache_root" ]; then
  cache_root=/var/cache/garvolin-zudodo
  mkdir -p "$cache_root" 2>/dev/null && [ -w "$cache_root" ] ||
    cache_root=${XDG_CACHE_HOME:-$HOME/.cache}/garvolin-zudodo
fi
cache=
if [ "$cache_root" != off ]; then
  key=$( { cat "$0" "$toolchain"; "$compiler" --version | head -n1; echo "$release"; } |
    sha256sum | cut -c1-16)
  cache=$cache_root/windows-deps-$key
fi
if [ -n "$cache" ] && [ -f "$cache/prefix.done" ] && [ ! -f "$prefix/.done" ]; then
  rm -rf "$prefix"
  cp -a "$cache/prefix" "$prefix"
  echo "windows-deps: libraries taken from $cache"
fi
if [ -f "$prefix/.done" ]; then
  echo "windows-deps: ready in $prefix"
  exit 0
fi

# --- Sources ---------------------------------------------------------------------------------------
apt_dir=$deps/apt
apt_opts=(-o Dir::Etc::SourceList="$apt_dir/sources.list" -o Dir::Etc::SourceParts="$apt_dir/parts"
  -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache"
  -o APT::Sandbox::User="$(id -un)" -o Acquire::Languages=none)

# Writes deb-src entries for the mirrors of the machine's Debian deb entries and reads their indexes.
apt_sources() {
  [ -f "$apt_dir/lists/.updated" ] && return 0
  mkdir -p "$apt_dir/parts" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
  local entries main_uri
  entries=$(apt-get indextargets --format '$(TARGET_OF) $(ORIGIN) $(REPO_URI) $(RELEASE) $(COMPONENT)' |
    awk '$1 == "deb" && $2 == "Debian" {print "deb-src", $3, $4, $5}' | sort -u)
  main_uri=$(awk -v r="$release" '$3 == r {print $2; exit}' <<<"$entries")
  if [ -z "$main_uri" ]; then
    echo "windows-deps: no Debian $release entry in the apt configuration" >&2
    return 1
  fi
  printf '%s\n' "$entries" "deb-src $main_uri $next_release main" >"$apt_dir/sources.list"
  apt-get "${apt_opts[@]}" update -qq
  touch "$apt_dir/lists/.updated"
}

# The unpacked source folder of Debian's package $1 (its patches applied); fetched when missing.
# Each fetched package is noted in src/sources.txt.
fetch_source() {
  local package=$1 dir
  dir=$(find "$deps/src" -mindepth 1 -maxdepth 1 -type d -name "$package-[0-9]*" 2>/dev/null | head -n1)
  if [ -z "$dir" ]; then
    apt_sources
    local log=$deps/src/$package.log
    if (cd "$deps/src" && apt-get "${apt_opts[@]}" source -qq "$package/$release" >"$log" 2>&1); then
      echo "$(basename "$(ls "$deps/src/${package}"_*.dsc | head -n1)" .dsc) ($release)" >>"$deps/src/sources.txt"
    else
      echo "windows-deps: the $release source of $package is not served; taking $next_release's upstream tarball" >&2
      local fallback=$deps/src/$package.$next_release tarball
      rm -rf "$fallback" && mkdir -p "$fallback"
      # apt checks every file it fetches against the Sources index; the tarball may come alone.
      (cd "$fallback" && apt-get "${apt_opts[@]}" source -qq --download-only "$package/$next_release" \
        >>"$log" 2>&1) || true
      tarball=$(find "$fallback" -maxdepth 1 -name "${package}_*.orig.tar.*" | head -n1)
      if [ -z "$tarball" ]; then
        cat "$log" >&2
        echo "windows-deps: no source of $package could be fetched" >&2
        return 1
      fi
      tar -xf "$tarball" -C "$deps/src"
      echo "$(basename "$tarball") ($next_release, upstream tarball)" >>"$deps/src/sources.txt"
      rm -rf "$fallback"
    fi
    dir=$(find "$deps/src" -mindepth 1 -maxdepth 1 -type d -name "$package-[0-9]*" | head -n1)
  fi
  echo "$dir"
}

# --- Builds ----------------------------------------------------------------------------------------
# Configures, builds and installs one CMake project with the mingw toolchain, unless done before,
# and copies the licence files named after the options into prefix/share/licenses/<name>.
build_cmake() {
  local name=$1 source=$2 licences=$3
  shift 3
  [ -f "$deps/build/$name.done" ] && return 0
  local dir=$deps/build/$name start=$SECONDS
  cmake -S "$source" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DZUDODO_WINDOWS_DEPS="$prefix" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -Wno-dev "$@" >"$dir.log" 2>&1 ||
    { cat "$dir.log" >&2; return 1; }
  cmake --build "$dir" -j"$jobs" >>"$dir.log" 2>&1 || { tail -n 60 "$dir.log" >&2; return 1; }
  cmake --install "$dir" >>"$dir.log" 2>&1 || { tail -n 20 "$dir.log" >&2; return 1; }
  mkdir -p "$prefix/share/licenses/$name"
  local f
  for f in $licences; do cp "$source"/$f "$prefix/share/licenses/$name/"; done
  touch "$deps/build/$name.done"
  echo "windows-deps: $name built in $((SECONDS - start)) s"
}

mkdir -p "$deps/src" "$deps/build" "$prefix/include"

build_cmake glfw "$(fetch_source glfw3)" "LICENSE.md" -DBUILD_SHARED_LIBS=OFF \
  -DGLFW_BUILD_EXAMPLES=OFF -DGLFW_BUILD_TESTS=OFF -DGLFW_BUILD_DOCS=OFF

build_cmake ogg "$(fetch_source libogg)" "COPYING" -DBUILD_SHARED_LIBS=OFF -DBUILD_TESTING=OFF \
  -DINSTALL_DOCS=OFF

build_cmake vorbis "$(fetch_source libvorbis)" "COPYING" -DBUILD_SHARED_LIBS=OFF -DBUILD_TESTING=OFF

# Only the Windows backends (WASAPI, DirectSound, WinMM); no utilities, examples, EAX, embedded HRTF
# data or configuration samples. The C and C++ runtimes are linked into the DLL.
build_cmake openal "$(fetch_source openal-soft)" "COPYING BSD-3Clause LICENSE-pffft fmt-*/LICENSE" \
  -DLIBTYPE=SHARED -DALSOFT_UTILS=OFF -DALSOFT_NO_CONFIG_UTIL=ON -DALSOFT_EXAMPLES=OFF \
  -DALSOFT_TESTS=OFF -DALSOFT_INSTALL_CONFIG=OFF -DALSOFT_INSTALL_HRTF_DATA=OFF \
  -DALSOFT_INSTALL_AMBDEC_PRESETS=OFF -DALSOFT_INSTALL_EXAMPLES=OFF -DALSOFT_INSTALL_UTILS=OFF \
  -DALSOFT_UPDATE_BUILD_VERSION=OFF -DALSOFT_EAX=OFF -DALSOFT_EMBED_HRTF_DATA=OFF \
  -DALSOFT_BACKEND_WASAPI=ON -DALSOFT_BACKEND_DSOUND=ON -DALSOFT_BACKEND_WINMM=ON \
  -DALSOFT_BACKEND_PIPEWIRE=OFF -DALSOFT_BACKEND_PULSEAUDIO=OFF -DALSOFT_BACKEND_JACK=OFF \
  -DALSOFT_BACKEND_PORTAUDIO=OFF -DALSOFT_BACKEND_SDL2=OFF -DALSOFT_BACKEND_SDL3=OFF \
  -DALSOFT_BACKEND_WAVE=OFF -DALSOFT_BACKEND_OTHERIO=OFF \
  -DALSOFT_STATIC_LIBGCC=ON -DALSOFT_STATIC_STDCXX=ON -DALSOFT_STATIC_WINPTHREAD=ON

# stb_image: libstb-dev's header folder alone (the build machine's /usr/include must not join a
# Windows build).
if [ ! -f /usr/include/stb/stb_image.h ]; then
  echo "windows-deps: /usr/include/stb/stb_image.h is missing (Debian package libstb-dev)" >&2
  exit 1
fi
ln -sfn /usr/include/stb "$prefix/include/stb"
{
  echo "The libraries beside and inside garvolin-zudodo.exe were built from these Debian source"
  echo "packages; Debian keeps their sources in its archive:"
  sed 's/^/  /' "$deps/src/sources.txt"
} >"$prefix/share/licenses/sources.txt"
touch "$prefix/.done"

if [ -n "$cache" ] && mkdir -p "$cache_root" 2>/dev/null; then
  rm -rf "$cache.tmp" && mkdir -p "$cache.tmp" && cp -a "$prefix" "$cache.tmp/prefix" &&
    touch "$cache.tmp/prefix.done" && rm -rf "$cache" && mv "$cache.tmp" "$cache" &&
    echo "windows-deps: kept in $cache" || echo "windows-deps: could not fill the cache $cache" >&2
fi
echo "windows-deps: ready in $prefix"
