#!/usr/bin/env bash
# The Debian package: CPack builds it from the build tree, its control data and file list are
# checked, it is unpacked into a scratch root, and the game is started once from there through its
# launcher on the X display: the window opens and shows a picture, losing and regaining the focus
# suspends and resumes the game (which saves), F4 ends it with status 0, and everything the game
# writes lands in the player's folder.
# Usage: package_test.sh <build dir> <scratch dir> <cpack> <version> <application id>
set -uo pipefail
. "$(dirname "$0")/checks.sh"
build=$1 cpack=$3 version=$4 app_id=$5
if [ -z "${DISPLAY:-}" ]; then
  echo "no X display: skipped"
  exit 77
fi
scratch=$(fresh_dir "$2")

case_ "building the package"
if ! "$cpack" --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/out" >"$scratch/cpack.log" 2>&1; then
  cat "$scratch/cpack.log" >&2
  echo "cpack failed" >&2
  exit 1
fi
debs=("$scratch"/out/*.deb)
check_eq "one package is made" "1" "${#debs[@]}"
deb=${debs[0]}
check "the package file exists" test -f "$deb"
[ -f "$deb" ] || finish

case_ "control data"
field() { dpkg-deb --field "$deb" "$1"; }
check_eq "package name" "garvolin-zudodo" "$(field Package)"
check_eq "package version" "$version" "$(field Version)"
check_eq "architecture" "$(dpkg --print-architecture)" "$(field Architecture)"
depends=$(field Depends)
for lib in libglfw3 libopenal1 libc6 libstdc++6; do
  check_has "the dependencies found from the program name $lib" "$lib" "$depends"
done
description=$(field Description)
check "the package has a long description below its summary" test "$(wc -l <<<"$description")" -gt 1

case_ "contents"
listing=$(dpkg-deb --contents "$deb" | awk '{print $6}')
for want in ./usr/bin/garvolin-zudodo ./usr/libexec/garvolin-zudodo/garvolin-zudodo \
  "./usr/share/applications/$app_id.desktop" "./usr/share/metainfo/$app_id.metainfo.xml" \
  "./usr/share/icons/hicolor/256x256/apps/$app_id.png" ./usr/share/man/man6/garvolin-zudodo.6.gz \
  ./usr/share/garvolin-zudodo/data/logo.png ./usr/share/garvolin-zudodo/data/sfx/; do
  check_has "the package holds $want" "$want" "$listing"
done
outside=$(grep -v -e '^\./$' -e '^\./usr/$' -e '^\./usr/\(bin\|libexec\|share\)/' <<<"$listing")
check_eq "files outside /usr/bin, /usr/libexec and /usr/share" "" "$outside"

case_ "unpacking into a scratch root"
root="$scratch/root"
mkdir -p "$root"
check "dpkg-deb unpacks the package" dpkg-deb --extract "$deb" "$root"
launcher="$root/usr/bin/garvolin-zudodo"
check "the launcher is executable" test -x "$launcher"
[ -x "$launcher" ] || finish

case_ "starting the installed game"
home="$scratch/home"
start_dir=$(fresh_dir "$scratch/start")
mkdir -p "$home"
(cd "$start_dir" && exec env -u XDG_DATA_HOME HOME="$home" "$launcher" >"$scratch/game.out" 2>"$scratch/game.err") &
pid=$!
trap 'kill "$pid" 2>/dev/null' EXIT
# The launcher replaces itself by the game, so the window belongs to this process.
window=$(timeout 60 xdotool search --sync --onlyvisible --pid "$pid" 2>/dev/null | head -n1)
check "a window opens" test -n "$window"
if [ -z "$window" ]; then
  cat "$scratch/game.out" "$scratch/game.err" >&2
  finish
fi
check_has "the window's title" '"Garvolin Zudodo"' "$(xprop -id "$window" WM_NAME)"
info=$(xwininfo -id "$window")
check_has "the window's width" "Width: 640" "$info"
check_has "the window's height" "Height: 480" "$info"
# No window manager runs on the test display: hand the window the focus ourselves, as a desktop
# would, and let the assets load.
xdotool windowfocus --sync "$window"
sleep 3
shot="$scratch/window.png"
check "a screenshot of the window" import -window "$window" "$shot"
if [ -f "$shot" ]; then
  colours=$(identify -format '%k' "$shot")
  check "the window shows a picture, not a blank ($colours colours)" test "$colours" -gt 64
  spread=$(convert "$shot" -format '%[fx:int(standard_deviation*1000)]' info:)
  check "the picture has contrast (spread $spread)" test "$spread" -gt 30
fi

case_ "suspending and resuming"
# Giving the focus to the root window suspends the game, which starts a save; it completes in the
# updates after the focus comes back. A game that saves says "Saved".
root_window=$(xwininfo -root | awk '/Window id:/ {print $4}')
xdotool windowfocus --sync "$root_window"
sleep 0.5
xdotool windowfocus --sync "$window"
for _ in $(seq 50); do
  grep -qx "Saved" "$scratch/game.out" && break
  sleep 0.1
done
check "the game still runs after the focus came back" kill -0 "$pid"

case_ "quitting with F4"
xdotool key --delay 50 F4
wait_exit "$pid" 100
trap - EXIT
check_eq "the game's exit status after F4" "0" "$status"
check "no runtime error is reported" test -z "$(grep 'Runtime Error' "$scratch/game.out")"

case_ "the player's folder"
user_dir="$home/.local/share/garvolin-zudodo"
check "the per-user folder is made" test -d "$user_dir"
check_eq "its data leads to the unpacked assets" "$root/usr/share/garvolin-zudodo/data" "$(readlink "$user_dir/data")"
if grep -qx "Saved" "$scratch/game.out"; then
  check "the saved state lands in the per-user folder" test -f "$user_dir/.gamestate"
else
  echo "note: the game saved nothing in this run; only the state file's place is checked"
fi
stray=$(find "$start_dir" "$root" "$home" -name .gamestate ! -path "$user_dir/.gamestate")
check_eq "state files anywhere else" "" "$stray"
check_eq "files written where the launcher was started" "" "$(ls -A "$start_dir")"

finish
