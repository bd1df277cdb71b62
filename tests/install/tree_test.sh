#!/usr/bin/env bash
# The install tree: `cmake --install` into a fresh prefix puts the program, every asset, the
# launcher, a valid menu entry, the icons, valid AppStream metadata and a manual page where the
# desktop looks for them, and the pieces name each other consistently.
# Usage: tree_test.sh <build dir> <scratch dir> <source data dir> <application id> <icon sizes>
set -uo pipefail
. "$(dirname "$0")/checks.sh"
build=$1 scratch=$2 source_data=$3 app_id=$4 sizes=${5//;/ }

# A prefix with a space in it: nothing may depend on paths without one.
prefix="$(fresh_dir "$scratch")/game prefix"
if ! cmake --install "$build" --prefix "$prefix" >"$scratch/install.log" 2>&1; then
  cat "$scratch/install.log" >&2
  echo "cmake --install failed" >&2
  exit 1
fi
share="$prefix/share"

case_ "program and launcher"
check "the launcher is an executable in bin" test -x "$prefix/bin/garvolin-zudodo"
check "the launcher is a shell script" grep -q '^#!/bin/sh' "$prefix/bin/garvolin-zudodo"
program="$prefix/libexec/garvolin-zudodo/garvolin-zudodo"
check "the program is installed apart from the launcher" test -x "$program"
check_eq "the program is a compiled executable" "7f454c46" "$(head -c4 "$program" | od -An -tx1 | tr -d ' \n')"
check "nothing but the launcher lands in bin" test "$(ls "$prefix/bin")" = "garvolin-zudodo"

case_ "assets"
data="$share/garvolin-zudodo/data"
check "the assets are installed" test -d "$data"
if ! diff -r -q "$source_data" "$data" >"$scratch/data.diff"; then
  fail "the installed assets differ from data/: $(head -n5 "$scratch/data.diff")"
fi

case_ "menu entry"
desktop="$share/applications/$app_id.desktop"
check "the menu entry is named after the application id" test -f "$desktop"
if [ -f "$desktop" ]; then
  if ! out=$(desktop-file-validate "$desktop" 2>&1) || [ -n "$out" ]; then
    fail "desktop-file-validate: $out"
  fi
  check_eq "the entry starts the launcher from the PATH" "garvolin-zudodo" "$(desktop_value "$desktop" Exec)"
  check_eq "the entry's icon is the installed one" "$app_id" "$(desktop_value "$desktop" Icon)"
fi

case_ "icons"
found=0
for s in $sizes; do
  icon="$share/icons/hicolor/${s}x${s}/apps/$app_id.png"
  if [ ! -f "$icon" ]; then
    fail "no ${s}x${s} icon"
    continue
  fi
  found=$((found + 1))
  check_eq "the ${s}x${s} icon's size" "$s $s" "$(identify -format '%w %h' "$icon")"
  # Transparent corners around an opaque figure of many colours: the sprite, not a blank square.
  check_eq "the ${s}x${s} icon's top left corner is transparent" "0" \
    "$(convert "$icon" -format '%[fx:int(p{0,0}.a*255)]' info:)"
  check_eq "the ${s}x${s} icon's centre is opaque" "255" \
    "$(convert "$icon" -format "%[fx:int(p{$((s / 2)),$((s / 2))}.a*255)]" info:)"
  colours=$(identify -format '%k' "$icon")
  check "the ${s}x${s} icon shows a picture ($colours colours)" test "$colours" -gt 16
done
check "icons in at least four sizes, up to 256 pixels" test "$found" -ge 4 -a -f "$share/icons/hicolor/256x256/apps/$app_id.png"
extra=$(find "$share/icons" -type f ! -name "$app_id.png")
check_eq "no other files among the icons" "" "$extra"

case_ "AppStream metadata"
metainfo="$share/metainfo/$app_id.metainfo.xml"
check "the metadata is named after the application id" test -f "$metainfo"
if [ -f "$metainfo" ]; then
  if ! out=$(appstreamcli validate --no-net "$metainfo" 2>&1); then
    fail "appstreamcli validate: $out"
  fi
  check_has "the metadata's id" "<id>$app_id</id>" "$(cat "$metainfo")"
  check_has "the metadata launches the menu entry" \
    "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$(cat "$metainfo")"
  check_has "the metadata names the launcher" "<binary>garvolin-zudodo</binary>" "$(cat "$metainfo")"
fi

case_ "manual page"
man_page="$share/man/man6/garvolin-zudodo.6.gz"
check "the manual page is in section 6" test -f "$man_page"
if [ -f "$man_page" ]; then
  warnings=$(zcat "$man_page" | groff -man -ww -z -Tutf8 2>&1)
  check_eq "groff warnings in the manual page" "" "$warnings"
  page=$(MANWIDTH=80 man -l "$man_page" 2>/dev/null | col -b)
  check_has "the page's name line" "garvolin-zudodo - arcade maze game" "$page"
  check_has "the page tells where the state is kept" "garvolin-zudodo/.gamestate" "$page"
  check_has "the page tells how to quit" "F4" "$page"
fi

finish
