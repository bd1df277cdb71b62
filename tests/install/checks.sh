# checks.sh: small helpers shared by the install tests and the Windows smoke test (sourced). A failed
# check is reported and counted, and the test goes on, so that one run shows every fault; `finish`
# prints the counts and sets the exit status.
failures=0
passes=0
current_case=""

# Names the group of checks that follows, for the reports.
case_() {
  current_case=$1
  echo "--- $1"
}

fail() {
  echo "FAILED [$current_case]: $*" >&2
  failures=$((failures + 1))
}

# check <description> <command...>: the command must succeed.
check() {
  local what=$1
  shift
  if "$@"; then passes=$((passes + 1)); else fail "$what"; fi
}

# check_eq <description> <expected> <actual>
check_eq() {
  if [ "$2" != "$3" ]; then fail "$1: expected '$2', got '$3'"; else passes=$((passes + 1)); fi
}

# check_has <description> <needle> <haystack>
check_has() {
  case "$3" in
    *"$2"*) passes=$((passes + 1)) ;;
    *) fail "$1: '$2' not found in: $3" ;;
  esac
}

finish() {
  echo "checks: $passes passed, $failures failed"
  if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
  fi
  echo "all checks passed"
  exit 0
}

# The value of one key of a desktop entry file.
desktop_value() {
  sed -n "s/^$2=//p" "$1" | head -n1
}

# Makes an empty scratch folder and prints its path.
fresh_dir() {
  rm -rf -- "$1"
  mkdir -p -- "$1"
  printf '%s\n' "$1"
}

# wait_exit <pid> <tries>: waits up to <tries> tenths of a second for a child of this shell to end
# and sets `status` to its exit status, or to "timeout" after killing it.
wait_exit() {
  local pid=$1
  status=timeout
  for _ in $(seq "$2"); do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid"
      status=$?
      return
    fi
    sleep 0.1
  done
  kill "$pid" 2>/dev/null
}
