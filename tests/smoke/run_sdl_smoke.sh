#!/bin/bash
# Runs sdl_smoke on a virtual X server: waits for its window, reads the window back with xwd and checks its
# pixels, then clicks at (123, 456) with xdotool and checks that the program got that click.
# Usage: run_sdl_smoke.sh SDL_SMOKE PYTHON CHECKER
set -euo pipefail

if [ "${1:-}" != "--inside" ]; then
    unset HOST_BACKEND HOST_SCRIPT HOST_MAX_FRAMES HOST_MACHINE HOST_RECORD
    export SDL_AUDIODRIVER=dummy
    exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" --inside "$@"
fi
shift
program="$1"
python="$2"
checker="$3"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

"$program" "$work/click.txt" "$work/ready" &
pid=$!
for _ in $(seq 1 200); do
    [ -e "$work/ready" ] && break
    kill -0 "$pid" 2>/dev/null || { echo "sdl_smoke ended before showing its window"; wait "$pid" || true; exit 1; }
    sleep 0.1
done
[ -e "$work/ready" ] || { echo "sdl_smoke never became ready"; kill "$pid"; exit 1; }

window="$(xdotool search --name '^Smoke$' | head -n 1)"
[ -n "$window" ] || { echo "no window titled Smoke"; kill "$pid"; exit 1; }
xwd -id "$window" -silent > "$work/window.xwd"
if ! "$python" "$checker" "$work/window.xwd"; then
    kill "$pid"
    exit 1
fi

xdotool mousemove --window "$window" 123 456 click 1
status=0
wait "$pid" || status=$?
if [ "$status" -ne 0 ]; then
    echo "sdl_smoke exited with $status"
    exit 1
fi
got="$(cat "$work/click.txt")"
if [ "$got" != "down 123 456" ]; then
    echo "expected the click at 'down 123 456', got '$got'"
    exit 1
fi
echo "window picture and click OK"
