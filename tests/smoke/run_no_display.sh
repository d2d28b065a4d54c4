#!/bin/bash
# A program on the sdl backend with no display to reach must end at once with exit code 1 and one line
# that says so. Usage: run_no_display.sh SDL_SMOKE
set -uo pipefail
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
env -u HOST_BACKEND -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER DISPLAY=:4242 \
    "$1" "$work/click" "$work/ready" > "$work/out" 2> "$work/err"
status=$?
expected="No display available (cannot open X display :4242): set HOST_BACKEND=headless to run without a window."
if [ "$status" -ne 1 ]; then echo "exit code $status, expected 1"; cat "$work/err"; exit 1; fi
if [ "$(cat "$work/err")" != "$expected" ]; then echo "stderr was:"; cat "$work/err"; exit 1; fi
if [ -s "$work/out" ] || [ -e "$work/ready" ]; then echo "the program went on without a display"; exit 1; fi
echo "no display: one line, exit 1"
