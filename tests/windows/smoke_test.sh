#!/usr/bin/env bash
# The Windows build under Wine. The zip unpacks into a folder holding garvolin-zudodo.exe, the
# DLLs it needs beyond Windows' own, and data/. Started there under Wine on the X display, the game
# opens its window, shows the title menu, says that it found no sound device and runs on silently;
# a game played to its end by keys leaves a complete ./.gamestate; F4 quits with status 0; the next
# start reads the state back.
# Usage: smoke_test.sh <zip> <scratch dir>
# Needs an X display and a Wine prefix made by wineboot (WINEPREFIX, or Wine's default one).
set -uo pipefail
. "$(dirname "$0")/../install/checks.sh"
zip=$(realpath "$1")
if [ -z "${DISPLAY:-}" ]; then
  echo "no X display: skipped"
  exit 77
fi
scratch=$(realpath "$(fresh_dir "$2")")
export WINEDEBUG=${WINEDEBUG:--all}
# A machine without a sound device: Wine's audio drivers stay off. No Mono or Gecko installers.
export WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv,winepulse.drv,wineoss.drv=d"
title="Garvolin Zudodo"

case_ "the zip"
check "the zip unpacks" cmake -E chdir "$scratch" cmake -E tar xf "$zip"
folder=$scratch/garvolin-zudodo
check "the folder holds the program" test -f "$folder/garvolin-zudodo.exe"
check "the folder holds the assets" test -f "$folder/data/logo.png"
[ -f "$folder/garvolin-zudodo.exe" ] || finish
# Every DLL that the program and its DLLs import is Windows' own (in Wine's system folder) or lies
# beside them: nothing from the compiler (libstdc++, libgcc, winpthread) is missing.
system32=${WINEPREFIX:-$HOME/.wine}/drive_c/windows/system32
imports=$(x86_64-w64-mingw32-objdump -p "$folder"/*.exe "$folder"/*.dll | sed -n 's/^\s*DLL Name: //p' | sort -uf)
check_has "the program imports OpenAL32.dll" "OpenAL32.dll" "$imports"
for dll in $imports; do
  if [ -z "$(find "$folder" "$system32" -maxdepth 1 -iname "$dll" | head -n1)" ]; then
    fail "$dll is imported but neither Windows' own nor in the folder"
  fi
done

# Starts the game in its folder under Wine; its output goes to <name>.out and <name>.err.
start_game() {
  (cd "$folder" && exec wine ./garvolin-zudodo.exe >"$scratch/$1.out" 2>"$scratch/$1.err") &
  pid=$!
  window=$(timeout 90 xdotool search --sync --onlyvisible --name "^$title\$" 2>/dev/null | head -n1)
}

# Quits with F4; status is then the exit status, or "timeout".
quit_game() {
  hold F4
  wait_exit "$pid" 150
}

# A key held across a few of the game's updates, then released.
hold() {
  xdotool keydown "$1"
  sleep 0.4
  xdotool keyup "$1"
  sleep 0.35
}

# Waits up to $2 seconds for a line matching $1 in the game's output.
wait_for_line() {
  for _ in $(seq $(($2 * 10))); do
    grep -q "$1" "$scratch/$run.out" && return 0
    sleep 0.1
  done
  return 1
}

shot=$scratch/shot.png
# A screenshot of the window into $shot.
take_shot() {
  import -window "$window" "$shot" 2>/dev/null
}

# The colours at points of the last screenshot, "r,g,b r,g,b ...", for points given as x,y.
colours_at() {
  local format="" p
  for p in "$@"; do
    format+="%[fx:int(255*p{$p}.r)],%[fx:int(255*p{$p}.g)],%[fx:int(255*p{$p}.b)] "
  done
  convert "$shot" -format "$format" info:
}

# near r,g,b R,G,B: each channel within 24 of the expected one.
near() {
  local a b
  IFS=, read -r -a a <<<"$1"
  IFS=, read -r -a b <<<"$2"
  [ ${#a[@]} -eq 3 ] || return 1
  for i in 0 1 2; do
    [ $((a[i] - b[i])) -le 24 ] && [ $((b[i] - a[i])) -le 24 ] || return 1
  done
}

# The pixels of the cursor ring's yellow in a box (x y w h) of the last screenshot.
ring_pixels() {
  convert "$shot" -crop "$3x$4+$1+$2" +repage -fuzz 6% -fill "rgb(0,255,0)" -opaque "rgb(255,255,100)" \
    -fill black +opaque "rgb(0,255,0)" -format "%[fx:int(mean.g*w*h+0.5)]" info:
}

# The screens the test passes through, told apart by a few colours of the last screenshot.
# The title menu: the dark blue screen between its orange and olive bands, and the logo's yellow
# (the loading screen's grey blue does not pass).
title_menu_shown() {
  local c
  read -r -a c <<<"$(colours_at 390,300 140,100 570,300 300,57)"
  near "${c[0]}" 0,0,80 && near "${c[1]}" 160,80,0 && near "${c[2]}" 160,160,0 &&
    [ "${c[3]%%,*}" -ge 200 ]
}
# A quest's level list: its chosen row in blue above a row in dark red.
level_list_shown() {
  local c
  read -r -a c <<<"$(colours_at 420,180 420,250)"
  near "${c[0]}" 0,80,160 && near "${c[1]}" 80,0,40
}
# The pause panel: its orange body, and the red of its quit cross, chosen or not.
pause_menu_shown() {
  local c x
  read -r -a c <<<"$(colours_at 230,250 420,280 180,185)"
  near "${c[0]}" 178,114,26 && near "${c[1]}" 193,122,28 || return 1
  IFS=, read -r -a x <<<"${c[2]}"
  [ "${x[0]}" -ge 200 ] && [ "${x[1]}" -le 130 ] && [ "${x[2]}" -le 100 ]
}
# The panel's cursor ring around the quit cross rather than around the resume button.
quit_chosen() {
  [ "$(ring_pixels 130 135 100 100)" -ge 20 ] && [ "$(ring_pixels 270 195 100 100)" -lt 20 ]
}

case_ "the window"
run=first
start_game $run
check "a window titled \"$title\" opens" test -n "$window"
if [ -z "$window" ]; then
  cat "$scratch/$run.out" "$scratch/$run.err" >&2
  finish
fi
info=$(xwininfo -id "$window")
check_has "the window's width" "Width: 640" "$info"
check_has "the window's height" "Height: 480" "$info"

case_ "the title menu"
shown=no
for _ in $(seq 60); do
  take_shot && title_menu_shown && { shown=yes; break; }
  sleep 0.5
done
cp "$shot" "$scratch/title.png" 2>/dev/null
check_eq "the title menu is on the screen (see $scratch/title.png)" yes "$shown"
check "no sound device: the game says so" grep -q "^OpenAl error: " "$scratch/$run.out"

case_ "a finished game"
# A new player has the Classic quest alone: Enter opens its level list and Enter there starts
# level 0; the back key pauses the level, and on the pause panel Left chooses quitting and Enter
# ends the game, whose score is recorded and saved. The game takes no input while it loads, so each
# key is pressed until the screen shows that it was taken.
paused=no
for _ in $(seq 40); do
  take_shot || break
  if pause_menu_shown; then
    paused=yes
    break
  elif title_menu_shown || level_list_shown; then
    hold Return
  else
    hold Escape
  fi
  sleep 0.5
done
cp "$shot" "$scratch/pause.png" 2>/dev/null
check_eq "the back key pauses the level (see $scratch/pause.png)" yes "$paused"
ended=no
for _ in $(seq 20); do
  take_shot || break
  if ! pause_menu_shown; then
    ended=yes
    break
  elif quit_chosen; then
    cp "$shot" "$scratch/quit-chosen.png"
    hold Return
  else
    hold Left
  fi
  sleep 0.5
done
check_eq "Left and Enter on the pause panel end the game (see $scratch/shot.png)" yes "$ended"
check "the game says \"Saved\"" wait_for_line "^Saved" 30
state=$folder/.gamestate
check "./.gamestate is written in the game's folder" test -f "$state"
if [ -f "$state" ]; then
  check_eq "the state holds every field" 20639 "$(tr -cd '|' <"$state" | wc -c)"
  check_eq "the state is written byte for byte (no carriage returns)" 0 "$(tr -cd '\r' <"$state" | wc -c)"
fi
check_eq "no temporary file is left beside it" "" "$(cd "$folder" && ls -A | grep '^\.gamestate.' || true)"

case_ "quitting with F4"
quit_game
check_eq "the exit status after F4" 0 "$status"
check "no runtime error is reported" test -z "$(grep 'Runtime Error' "$scratch/$run.out")"

case_ "the next start"
run=second
start_game $run
check "the window opens again" test -n "$window"
if [ -n "$window" ]; then
  check "the saved settings are read back" wait_for_line "^Settings Loaded" 60
  check "the saved badges are read back" grep -q "^Badges Loaded" "$scratch/$run.out"
  check "no checksum fails" test -z "$(grep 'Checksum Invalid' "$scratch/$run.out")"
  quit_game
  check_eq "the exit status after F4" 0 "$status"
else
  kill "$pid" 2>/dev/null
fi

finish
