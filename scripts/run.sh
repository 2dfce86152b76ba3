#!/usr/bin/env bash
# Builds the Windows program and runs it under Wine.
#
# With a display (DISPLAY set) the program simply runs there until it is ended from its tray
# menu. Without one it runs on a virtual display for a short demonstration: it starts, the
# first-run welcome is answered, the main dialog and the tray icon are photographed, and the
# program is ended again.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target snapgate

program="$PWD/build/windows/bin/Snapgate! 3.293.exe"
prefix="$PWD/build/windows/wineprefix"
shots="$PWD/build/windows/screenshots"
mkdir -p "$shots"

if [[ -n "${DISPLAY:-}" ]]; then
  echo "Starting Snapgate! on $DISPLAY; it lives in the notification area (Exit is in its menu)."
  exec scripts/wine-run --prefix "$prefix" "$program"
fi

source scripts/virtual-display.sh
ensure_display
trap 'WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true; stop_started_display' EXIT
echo "No display: running Snapgate! on the virtual display $DISPLAY."
# Wine's own messages (no sound device and the like) go to a log, not to the user.
scripts/wine-run --prefix "$prefix" "$program" >"$PWD/build/windows/run.log" 2>&1 &

wait_for_window() {  # name, seconds
  for _ in $(seq "$2"); do
    xdotool search --name "$1" 2>/dev/null | head -n 1 && return 0
    sleep 1
  done
  return 1
}

# A first run greets the user; answer it as a user would, with a click and Enter.
if welcome=$(wait_for_window '^Welcome to Snapgate!$' 15); then
  eval "$(xdotool getwindowgeometry --shell "$welcome")"
  xdotool mousemove $((X + WIDTH / 2)) $((Y + 10)) click 1
  sleep 0.5
  xdotool key Return
fi
if ! wait_for_window '^Snapgate!$' 60 >/dev/null; then
  echo "The main dialog did not appear." >&2
  exit 1
fi
sleep 5  # Wine paints slowly on a virtual display
import -window root "$shots/run.png"
echo "The main dialog and the tray icon (top left) are shown in $shots/run.png"
echo "Ending the demonstration."
