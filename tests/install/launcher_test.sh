#!/usr/bin/env bash
# The launcher of an installed game: it must run the program in the player's own folder under
# $XDG_DATA_HOME (or ~/.local/share), made on first start, with "data" linking to the installed
# assets, keep the state file there from run to run, follow the installation when it moves, and
# pass arguments and the exit status through. The program is replaced by a stand-in that reports
# what it sees, so that every case runs in a moment and without a display.
# Usage: launcher_test.sh <build dir> <scratch dir>
set -uo pipefail
. "$(dirname "$0")/checks.sh"
build=$1
scratch=$(fresh_dir "$2")

prefix="$scratch/first prefix"
if ! cmake --install "$build" --prefix "$prefix" >"$scratch/install.log" 2>&1; then
  cat "$scratch/install.log" >&2
  exit 1
fi
# The stand-in: prints its folder, where its "data" leads, the first asset it can read through it
# and its arguments; adds a line to ./.gamestate; ends with $STANDIN_STATUS.
cat >"$prefix/libexec/garvolin-zudodo/garvolin-zudodo" <<'EOF'
#!/bin/sh
echo "cwd=$(pwd -P)"
echo "data=$(readlink -f data)"
[ -r data/logo.png ] && echo "asset=readable"
echo "args=$*"
echo run >>./.gamestate
exit "${STANDIN_STATUS:-0}"
EOF
chmod +x "$prefix/libexec/garvolin-zudodo/garvolin-zudodo"
home="$scratch/home dir"
mkdir -p "$home"
outside=$(fresh_dir "$scratch/elsewhere")

# Runs the launcher of the given prefix from an unrelated folder with a clean environment; the
# remaining arguments are NAME=VALUE settings, then "--" and the launcher's own arguments.
launch() {
  local launcher=$1
  shift
  local env_args=()
  while [ $# -gt 0 ] && [ "$1" != "--" ]; do env_args+=("$1"); shift; done
  [ "${1:-}" = "--" ] && shift
  (cd "$outside" && env -i PATH=/usr/bin:/bin "${env_args[@]}" "$launcher" "$@")
}
field() { sed -n "s/^$1=//p" <<<"$2"; }

case_ "first start with XDG_DATA_HOME set"
xdg="$scratch/xdg data"
out=$(launch "$prefix/bin/garvolin-zudodo" HOME="$home" XDG_DATA_HOME="$xdg" -- one "two words")
status=$?
check_eq "exit status" "0" "$status"
check_eq "the program runs in the per-user folder" "$xdg/garvolin-zudodo" "$(field cwd "$out")"
check_eq "data leads to the installed assets" "$prefix/share/garvolin-zudodo/data" "$(field data "$out")"
check_eq "the assets are readable through the link" "readable" "$(field asset "$out")"
check_eq "the arguments are passed on" "one two words" "$(field args "$out")"
check "data is a link, not a copy" test -L "$xdg/garvolin-zudodo/data"
check_eq "the state file is written in the per-user folder" "run" "$(cat "$xdg/garvolin-zudodo/.gamestate" 2>&1)"
check "nothing is written where the launcher was started" test -z "$(ls -A "$outside")"
check "nothing is written into the installation" test ! -e "$prefix/bin/.gamestate" -a ! -e "$prefix/libexec/garvolin-zudodo/.gamestate"

case_ "second start"
out=$(launch "$prefix/bin/garvolin-zudodo" HOME="$home" XDG_DATA_HOME="$xdg" STANDIN_STATUS=7 --)
check_eq "the program's exit status is the launcher's" "7" "$?"
check_eq "the same folder is used again" "$xdg/garvolin-zudodo" "$(field cwd "$out")"
check_eq "the state file of the first run is still there" "run run" "$(tr '\n' ' ' <"$xdg/garvolin-zudodo/.gamestate" | sed 's/ $//')"

case_ "XDG_DATA_HOME unset, empty or relative"
for setting in "" "XDG_DATA_HOME=" "XDG_DATA_HOME=relative/folder"; do
  rm -rf "$home/.local"
  out=$(launch "$prefix/bin/garvolin-zudodo" HOME="$home" $setting --)
  check_eq "[$setting] exit status" "0" "$?"
  check_eq "[$setting] the default folder under HOME" "$home/.local/share/garvolin-zudodo" "$(field cwd "$out")"
  check "[$setting] the state file lands in the default folder" test -f "$home/.local/share/garvolin-zudodo/.gamestate"
done
check "a relative XDG_DATA_HOME makes no folder where the launcher was started" test ! -e "$outside/relative"

case_ "neither XDG_DATA_HOME nor HOME"
err=$(launch "$prefix/bin/garvolin-zudodo" -- 2>&1 >/dev/null)
check_eq "exit status" "1" "$?"
check_has "the message names the missing variables" "HOME" "$err"

case_ "started through a link from another folder"
mkdir -p "$scratch/games"
ln -sfn "$prefix/bin/garvolin-zudodo" "$scratch/games/garvolin-zudodo"
out=$(launch "$scratch/games/garvolin-zudodo" HOME="$home" XDG_DATA_HOME="$xdg" --)
check_eq "exit status" "0" "$?"
check_eq "data still leads to the installed assets" "$prefix/share/garvolin-zudodo/data" "$(field data "$out")"

case_ "the installation moves"
moved="$scratch/moved prefix"
rm -rf "$moved"
mv "$prefix" "$moved"
out=$(launch "$moved/bin/garvolin-zudodo" HOME="$home" XDG_DATA_HOME="$xdg" --)
check_eq "exit status" "0" "$?"
check_eq "the link follows the installation" "$moved/share/garvolin-zudodo/data" "$(readlink "$xdg/garvolin-zudodo/data")"
check_eq "the assets are readable through the new link" "readable" "$(field asset "$out")"
check_eq "the state file survives the move" "4" "$(wc -l <"$xdg/garvolin-zudodo/.gamestate" | tr -d ' ')"
check "no temporary links are left behind" test -z "$(find "$xdg/garvolin-zudodo" -name 'data.*')"

case_ "a folder of the player's own named data"
own="$scratch/own"
mkdir -p "$own/garvolin-zudodo/data"
touch "$own/garvolin-zudodo/data/keep"
out=$(launch "$moved/bin/garvolin-zudodo" HOME="$home" XDG_DATA_HOME="$own" -- 2>"$scratch/own.err")
check_eq "exit status" "1" "$?"
check_eq "the program is not started" "" "$out"
check_has "the message names the folder" "$own/garvolin-zudodo/data" "$(cat "$scratch/own.err")"
check "the folder is left as it was" test -f "$own/garvolin-zudodo/data/keep" -a ! -L "$own/garvolin-zudodo/data"

case_ "installed into the player's own data folder"
# With the prefix ~/.local the installed assets are the player's folder's data folder itself.
local_prefix="$scratch/user local"
if cmake --install "$build" --prefix "$local_prefix" >"$scratch/install-local.log" 2>&1; then
  cp "$moved/libexec/garvolin-zudodo/garvolin-zudodo" "$local_prefix/libexec/garvolin-zudodo/"
  out=$(launch "$local_prefix/bin/garvolin-zudodo" HOME="$home" XDG_DATA_HOME="$local_prefix/share" --)
  check_eq "exit status" "0" "$?"
  check_eq "the program runs in the folder that holds the assets" "$local_prefix/share/garvolin-zudodo" "$(field cwd "$out")"
  check_eq "the assets are readable" "readable" "$(field asset "$out")"
  check "the assets stay a folder" test -d "$local_prefix/share/garvolin-zudodo/data" -a ! -L "$local_prefix/share/garvolin-zudodo/data"
else
  fail "cmake --install into a second prefix: $(tail -n3 "$scratch/install-local.log")"
fi

case_ "a per-user folder that cannot be made"
touch "$scratch/a file"
err=$(launch "$moved/bin/garvolin-zudodo" HOME="$home" XDG_DATA_HOME="$scratch/a file" -- 2>&1 >/dev/null)
check_eq "exit status" "1" "$?"
check_has "the message names the folder" "$scratch/a file/garvolin-zudodo" "$err"

case_ "an incomplete installation"
rm "$moved/libexec/garvolin-zudodo/garvolin-zudodo"
err=$(launch "$moved/bin/garvolin-zudodo" HOME="$home" XDG_DATA_HOME="$xdg" -- 2>&1 >/dev/null)
check_eq "exit status without the program" "1" "$?"
check_has "the message says what is missing" "program is missing" "$err"

finish
