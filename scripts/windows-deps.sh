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

# The machine's own Debian release gives the sources. Where its mirror does not serve a package's
# source, the upstream tarball of the next release's package is taken instead.
. /etc/os-release
release=${VERSION_CODENAME:?no release codename in /etc/os-release}
next_release=trixie

cache_root=${ZUDODO_WINDOWS_DEPS_CACHE:-}
if [ -z "$cache_root" ]; then
  cache_root=/var/cache/garvolin-zudodo
  { mkdir -p "$cache_root" && [ -w "$cache_root" ]; } 2>/dev/null ||
    cache_root=${XDG_CACHE_HOME:-$HOME/.cache}/garvolin-zudodo
fi
toolchain_id=$( { cat "$toolchain"; "$compiler" --version | head -n1; echo "$release $recipe"; } | sha256sum)

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

# Unpacks Debian's source package $1 into src/ (its patches applied), unless there already; sets
# source_dir to its folder and source_name to the package file it came from.
fetch_source() {
  local package=$1 log=$deps/src/$1.log
  mkdir -p "$deps/src"
  source_dir=$(find "$deps/src" -mindepth 1 -maxdepth 1 -type d -name "$package-[0-9]*" | head -n1)
  if [ -z "$source_dir" ]; then
    apt_sources
    if (cd "$deps/src" && apt-get "${apt_opts[@]}" source -qq "$package/$release" >"$log" 2>&1); then
      basename "$(ls "$deps/src/${package}"_*.dsc | head -n1)" .dsc >"$deps/src/$package.from"
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
      echo "$(basename "$tarball") (the upstream tarball of $next_release's package)" >"$deps/src/$package.from"
      rm -rf "$fallback"
    fi
    source_dir=$(find "$deps/src" -mindepth 1 -maxdepth 1 -type d -name "$package-[0-9]*" | head -n1)
  fi
  source_name=$(cat "$deps/src/$package.from")
}

# --- Builds ----------------------------------------------------------------------------------------
# build <name> <source package, or a folder> "<licence files>" <CMake options...>
# Configures, builds and installs one CMake project with the mingw toolchain into stage/<name>, with
# its licence files and origin in share/licenses/<name>, and merges that into prefix/. A library in
# the cache is taken from there instead.
build() {
  local name=$1 package=$2 licences=$3
  shift 3
  local key stage=$deps/stage/$name start=$SECONDS
  key=$( { echo "$name $package $licences $*"; echo "$toolchain_id"; } | sha256sum | cut -c1-16)
  local cached=$cache_root/windows-$name-$key
  if [ ! -f "$stage/.done-$key" ]; then
    rm -rf "$stage"
    mkdir -p "$deps/stage"
    if [ "$cache_root" != off ] && [ -f "$cached/.done-$key" ]; then
      cp -a "$cached" "$stage"
      echo "windows-deps: $name taken from $cached"
    else
      local dir=$deps/build/$name
      if [ -d "$package" ]; then
        source_dir=$package source_name=
      else
        fetch_source "$package"
      fi
      rm -rf "$dir"
      mkdir -p "$deps/build"
      cmake -S "$source_dir" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DZUDODO_WINDOWS_DEPS="$prefix" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$stage" -Wno-dev "$@" >"$dir.log" 2>&1 ||
        { cat "$dir.log" >&2; return 1; }
      cmake --build "$dir" -j"$jobs" >>"$dir.log" 2>&1 || { tail -n 60 "$dir.log" >&2; return 1; }
      cmake --install "$dir" >>"$dir.log" 2>&1 || { tail -n 20 "$dir.log" >&2; return 1; }
      if [ -n "$licences" ]; then
        local f path rel
        mkdir -p "$stage/share/licenses/$name"
        # A file in a subfolder keeps the folder in its name: fmt-11.1.1/LICENSE as fmt-11.1.1-LICENSE.
        for f in $licences; do
          for path in "$source_dir"/$f; do
            rel=${path#"$source_dir"/}
            cp "$path" "$stage/share/licenses/$name/${rel//\//-}"
          done
        done
        echo "$source_name" >"$stage/share/licenses/$name/SOURCE"
      fi
      touch "$stage/.done-$key"
      echo "windows-deps: $name built in $((SECONDS - start)) s"
      if [ "$cache_root" != off ] && mkdir -p "$cache_root" 2>/dev/null; then
        # One entry per library: older builds of it go.
        rm -rf "$cache_root/windows-$name-"*
        cp -a "$stage" "$cached.tmp" && mv "$cached.tmp" "$cached" ||
          echo "windows-deps: could not keep $name in $cache_root" >&2
      fi
    fi
  fi
  mkdir -p "$prefix"
  cp -a "$stage/." "$prefix/"
}

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
  for f in "$prefix"/share/licenses/*/SOURCE; do echo "  $(basename "$(dirname "$f")"): $(cat "$f")"; done
} >"$prefix/share/licenses/sources.txt"
echo "windows-deps: ready in $prefix"
