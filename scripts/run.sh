#!/usr/bin/env bash
# Builds the Windows program and runs it under Wine.
#
# With a display (DISPLAY set and answering) the program simply runs there until it is ended from
# its tray menu. Without one it runs on a virtual display for a short demonstration: it starts,
# the first-run welcome (and any start-up notice) is answered, the main dialog and the tray icon
# are photographed; then Wine's Notepad opens, whose title the demonstration has put on the block
# list, and is closed by the program; the blocked list and the tray tooltip are photographed, and
# the program is ended.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target snapgate

program="$PWD/build/windows/bin/Snapgate! 3.293.exe"
prefix="$PWD/build/windows/wineprefix"
shots="$PWD/build/windows/screenshots"
mkdir -p "$shots"

if [[ -n "${DISPLAY:-}" ]] && xdpyinfo >/dev/null 2>&1; then
  echo "Starting Snapgate! on $DISPLAY; it lives in the notification area (Exit is in its menu)."
  exec scripts/wine-run --prefix "$prefix" "$program"
fi

source scripts/virtual-display.sh
ensure_display

# The demonstration's block-list entry goes into the build's copy of the program folder only,
# and the list as it was comes back afterwards.
filters="$PWD/build/windows/bin/filters.txt"
backup=""
if [[ -f "$filters" ]]; then
  backup="$(mktemp)"
  cp "$filters" "$backup"
fi
printf '*- Notepad\r\n' >>"$filters"
restore_filters() {
  if [[ -n "$backup" ]]; then mv "$backup" "$filters"; else rm -f "$filters"; fi
}
trap 'WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true; restore_filters; stop_started_display' EXIT
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

# Answers a message window as a user would, with a click on its title and Enter, and waits until
# it has gone (Wine takes a moment), so that no second Enter reaches the window behind it.
answer() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
  xdotool mousemove $((X + WIDTH / 2)) $((Y + 10)) click 1
  sleep 0.5
  xdotool key Return
  for _ in $(seq 20); do
    xwininfo -id "$1" 2>/dev/null | grep -q IsViewable || return 0
    sleep 0.5
  done
}

# The main dialog is the program's first window of that title, shown when the start-up is over.
# What comes before it is answered: the first-run welcome, and a notice in the same title (when
# Wine's Shell Windows collection does not answer, the program says so).
main=""
for _ in $(seq 120); do
  visible=$(xdotool search --onlyvisible --name '^Snapgate!$' 2>/dev/null || true)
  if [[ -z "$main" ]]; then
    main=$(xdotool search --name '^Snapgate!$' 2>/dev/null | sort -n | head -n 1 || true)
  fi
  if [[ -n "$main" ]] && grep -qx "$main" <<<"$visible"; then break; fi
  welcome=$(xdotool search --onlyvisible --name '^Welcome to Snapgate!$' 2>/dev/null |
    head -n 1 || true)
  if [[ -n "$welcome" ]]; then
    answer "$welcome"
  else
    for notice in $(grep -vx "${main:-none}" <<<"$visible" || true); do
      echo "Snapgate! shows a notice at start-up (see $shots/run-notice.png); answering it."
      import -window root "$shots/run-notice.png"
      answer "$notice"
    done
  fi
  sleep 0.5
done
if [[ -z "$main" ]]; then
  echo "The main dialog did not appear." >&2
  exit 1
fi
sleep 5  # Wine paints slowly on a virtual display
import -window root "$shots/run.png"
echo "The main dialog and the tray icon (top left) are shown in $shots/run.png"

echo "Opening Notepad, whose title is on the block list..."
WINEPREFIX="$prefix" WINEDEBUG=-all wine notepad >/dev/null 2>&1 &
if wait_for_window 'Notepad$' 20 >/dev/null; then
  for _ in $(seq 20); do
    xdotool search --name 'Notepad$' >/dev/null 2>&1 || break
    sleep 0.5
  done
fi
if xdotool search --name 'Notepad$' >/dev/null 2>&1; then
  echo "Notepad is still open: it was not blocked." >&2
  exit 1
fi
echo "Snapgate! closed it. Pointing at the tray icon to show its tooltip..."
xdotool mousemove 12 30
sleep 3
import -window root "$shots/run-blocked.png"
echo "The blocked list and the tray tooltip are shown in $shots/run-blocked.png"
echo "Ending the demonstration."
