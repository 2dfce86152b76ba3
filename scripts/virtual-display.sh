# Sourced by scripts: gives them an X display, starting a shared Xvfb when there is none.
ensure_display() {
  if [[ -n "${DISPLAY:-}" ]]; then
    return
  fi
  local number="${SNAPGATE_XVFB_DISPLAY:-91}"
  export DISPLAY=":$number"
  if [[ ! -S "/tmp/.X11-unix/X$number" ]]; then
    (
      flock 8
      if [[ ! -S "/tmp/.X11-unix/X$number" ]]; then
        setsid Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 </dev/null 8>&- &
        echo $! >"/tmp/.snapgate-xvfb-$number.pid"
        for _ in $(seq 100); do
          [[ -S "/tmp/.X11-unix/X$number" ]] && break
          sleep 0.1
        done
      fi
    ) 8>"/tmp/.snapgate-xvfb-$number.lock"
  fi
}

# Stops the Xvfb that ensure_display started in this shell, if it did.
stop_started_display() {
  local number="${SNAPGATE_XVFB_DISPLAY:-91}"
  if [[ "${DISPLAY:-}" == ":$number" && -f "/tmp/.snapgate-xvfb-$number.pid" ]]; then
    kill "$(cat "/tmp/.snapgate-xvfb-$number.pid")" 2>/dev/null || true
    rm -f "/tmp/.snapgate-xvfb-$number.pid"
  fi
}
