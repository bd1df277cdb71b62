# Sourced: zudodo_xvfb starts a virtual X display of this run's own when none is set, exports
# DISPLAY and sets xvfb_pid (empty when a display was already there). Xvfb picks a free display
# number itself (-displayfd), so runs that start at the same moment never share one.
xvfb_pid=
zudodo_xvfb() {
  [ -n "${DISPLAY:-}" ] && return 0
  local fifo n
  fifo=$(mktemp -u) && mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  xvfb_pid=$!
  read -r n <"$fifo"
  rm -f "$fifo"
  export DISPLAY=":$n"
}
