# Sourced by scripts: gives them an X display, starting a shared Xvfb when there is none.

# True when an X server answers on display $1. A server that was killed leaves its socket and
# lock file behind, so only a real connection proves it is there.
display_alive() {
  [[ -S "/tmp/.X11-unix/X$1" ]] && xdpyinfo -display ":$1" >/dev/null 2>&1
}

ensure_display() {
  if [[ -n "${DISPLAY:-}" ]]; then
    xdpyinfo >/dev/null 2>&1 && return
    echo "note: no X server answers on $DISPLAY; a virtual display is used instead" >&2
  fi
  local number="${SNAPGATE_XVFB_DISPLAY:-91}"
  export DISPLAY=":$number"
  display_alive "$number" && return
  (
    flock 8
    if ! display_alive "$number"; then
      rm -f "/tmp/.X$number-lock" "/tmp/.X11-unix/X$number"
      setsid Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 </dev/null 8>&- &
      echo $! >"/tmp/.snapgate-xvfb-$number.pid"
      for _ in $(seq 100); do
        display_alive "$number" && break
        sleep 0.1
      done
      display_alive "$number" || echo "warning: no X server answers on :$number" >&2
    fi
  ) 8>"/tmp/.snapgate-xvfb-$number.lock"
}

# Stops the Xvfb that ensure_display started in this shell, if it did.
stop_started_display() {
  local number="${SNAPGATE_XVFB_DISPLAY:-91}"
  if [[ "${DISPLAY:-}" == ":$number" && -f "/tmp/.snapgate-xvfb-$number.pid" ]]; then
    kill "$(cat "/tmp/.snapgate-xvfb-$number.pid")" 2>/dev/null || true
    rm -f "/tmp/.snapgate-xvfb-$number.pid"
  fi
}
