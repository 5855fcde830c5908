# An X server of its own for the window's tests, the monkey, the screenshots
# and the benchmarks: Xvfb on a display number it picks itself, so that runs
# side by side never meet. Source this file, then:
#   xvfb_start [WIDTHxHEIGHT]   starts it and exports DISPLAY; 1 when it did not start
#   xvfb_stop                   ends it (also safe when none runs)

XVFB_PID=""

xvfb_start() {
  local size=${1:-1280x1024} number_file
  number_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$number_file" 2>/dev/null &
  XVFB_PID=$!
  for _ in $(seq 100); do [ -s "$number_file" ] && break; sleep 0.1; done
  if [ ! -s "$number_file" ]; then
    rm -f "$number_file"
    echo "Xvfb did not start" >&2
    return 1
  fi
  export DISPLAY=":$(head -n 1 "$number_file")"
  rm -f "$number_file"
}

xvfb_stop() {
  if [ -n "$XVFB_PID" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    unset DISPLAY
  fi
  XVFB_PID=""
}
