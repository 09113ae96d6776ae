# Shared by the demo and test scripts: the three builds, and Xvfb displays so
# that Wine programs that open windows have one.
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
presets=(native win32 win64)

build_preset() {
  cmake --preset "$1" -S "$repo" >/dev/null &&
    cmake --build --preset "$1"
}

# new_display VAR: starts an Xvfb of its own and sets VAR to its display
# (":N"); stop_displays stops every display started so.
xvfb_pids=()
new_display() {
  local fifo number
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  xvfb_pids+=($!)
  read -r number <"$fifo"
  rm -f "$fifo"
  printf -v "$1" ':%s' "$number"
}
stop_displays() {
  local pid
  for pid in "${xvfb_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
}

# start_display: one display for the whole run, unless one is set already.
start_display() {
  if [ -n "${DISPLAY:-}" ]; then return; fi
  new_display DISPLAY
  export DISPLAY
  trap stop_displays EXIT
}
