# Sourced by the scripts that build the libraries of a cross build from Debian's source packages
# (scripts/windows-deps.sh, scripts/web-deps.sh): fetching a source package, and building one CMake
# project into a stage that is kept in a cache and merged into the install prefix.
#
# The sourcing script sets: target (windows, web: names the cache entries and messages), deps (the
# work folder), prefix (the merged install prefix, passed to each project as -D$prefix_variable),
# toolchain (the CMake toolchain file), compiler (whose version joins the cache key), jobs, recipe
# (raised when the way a library is built changes without its options changing) and cache_variable
# (the name of the environment variable that chooses the cache).

# The machine's own Debian release gives the sources. Where its mirror does not serve a package's
# source, the upstream tarball of the next release's package is taken instead.
. /etc/os-release
release=${VERSION_CODENAME:?no release codename in /etc/os-release}
next_release=trixie

cache_root=${!cache_variable:-}
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
    echo "$target-deps: no Debian $release entry in the apt configuration" >&2
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
      echo "$target-deps: the $release source of $package is not served; taking $next_release's upstream tarball" >&2
      local fallback=$deps/src/$package.$next_release tarball
      rm -rf "$fallback" && mkdir -p "$fallback"
      # apt checks every file it fetches against the Sources index; the tarball may come alone.
      (cd "$fallback" && apt-get "${apt_opts[@]}" source -qq --download-only "$package/$next_release" \
        >>"$log" 2>&1) || true
      tarball=$(find "$fallback" -maxdepth 1 -name "${package}_*.orig.tar.*" | head -n1)
      if [ -z "$tarball" ]; then
        cat "$log" >&2
        echo "$target-deps: no source of $package could be fetched" >&2
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
  local cached=$cache_root/$target-$name-$key
  if [ ! -f "$stage/.done-$key" ]; then
    rm -rf "$stage"
    mkdir -p "$deps/stage"
    if [ "$cache_root" != off ] && [ -f "$cached/.done-$key" ]; then
      cp -a "$cached" "$stage"
      echo "$target-deps: $name taken from $cached"
    else
      local dir=$deps/build/$name
      if [ -d "$package" ]; then
        source_dir=$package source_name=
      else
        fetch_source "$package"
      fi
      rm -rf "$dir"
      mkdir -p "$deps/build"
      cmake -S "$source_dir" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -D$prefix_variable="$prefix" \
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
      echo "$target-deps: $name built in $((SECONDS - start)) s"
      if [ "$cache_root" != off ] && mkdir -p "$cache_root" 2>/dev/null; then
        # One entry per library: older builds of it go.
        rm -rf "$cache_root/$target-$name-"*
        cp -a "$stage" "$cached.tmp" && mv "$cached.tmp" "$cached" ||
          echo "$target-deps: could not keep $name in $cache_root" >&2
      fi
    fi
  fi
  mkdir -p "$prefix"
  cp -a "$stage/." "$prefix/"
}


# --- The finished prefix ----------------------------------------------------------------------------
# finish "<first lines of the sources list>": stb_image from libstb-dev's header folder alone (the
# build machine's /usr/include must not join a cross build), and share/licenses/sources.txt naming
# the Debian source package of every library built, after the given lines.
finish() {
  if [ ! -f /usr/include/stb/stb_image.h ]; then
    echo "$target-deps: /usr/include/stb/stb_image.h is missing (Debian package libstb-dev)" >&2
    exit 1
  fi
  ln -sfn /usr/include/stb "$prefix/include/stb"
  {
    echo "$1"
    for f in "$prefix"/share/licenses/*/SOURCE; do echo "  $(basename "$(dirname "$f")"): $(cat "$f")"; done
  } >"$prefix/share/licenses/sources.txt"
  echo "$target-deps: ready in $prefix"
}
