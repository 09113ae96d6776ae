# Shared by the demo and test scripts: the three builds, and one Xvfb for the
# whole run so that Wine programs that open windows have a display.
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
presets=(native win32 win64)

build_preset() {
  cmake --preset "$1" -S "$repo" >/dev/null &&
    cmake --build --preset "$1"
}

start_display() {
  if [ -n "${DISPLAY:-}" ]; then return; fi
  local fifo
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  xvfb_pid=$!
  local number
  read -r number <"$fifo"
  rm -f "$fifo"
  export DISPLAY=":$number"
  trap 'kill "$xvfb_pid" 2>/dev/null || true' EXIT
}
