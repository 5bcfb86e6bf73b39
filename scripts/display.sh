# Sourced by the scripts: makes sure an X display exists. Without DISPLAY it
# starts Xvfb on a free display number and stops it (by its pid) when the
# calling script exits.
tftpcfg_ensure_display() {
  if [ -n "${DISPLAY:-}" ]; then
    return 0
  fi
  local n=90
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do
    n=$((n + 1))
  done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 </dev/null &
  TFTPCFG_XVFB_PID=$!
  trap 'kill "$TFTPCFG_XVFB_PID" 2>/dev/null || true' EXIT
  local i
  for i in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.05
  done
  export DISPLAY=":$n"
}
