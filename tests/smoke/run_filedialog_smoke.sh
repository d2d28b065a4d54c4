#!/bin/bash
# Runs filedialog_smoke on a virtual X server: in the first dialog types a name and presses Return, in the
# second presses Escape; checks the chosen path, the cancel, and that neither key reached the program.
# Usage: run_filedialog_smoke.sh FILEDIALOG_SMOKE
set -euo pipefail

if [ "${1:-}" != "--inside" ]; then
    unset HOST_BACKEND HOST_SCRIPT HOST_MAX_FRAMES HOST_MACHINE HOST_RECORD
    export SDL_AUDIODRIVER=dummy
    exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" --inside "$@"
fi
shift
program="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/Levels/Sub"
echo one > "$work/Levels/one.lev"
echo two > "$work/Levels/Two.lev"

"$program" "$work/Levels" "$work/result.txt" "$work/ready" &
pid=$!
for _ in $(seq 1 200); do
    [ -e "$work/ready" ] && break
    kill -0 "$pid" 2>/dev/null || { echo "filedialog_smoke ended early"; wait "$pid" || true; exit 1; }
    sleep 0.1
done
[ -e "$work/ready" ] || { echo "filedialog_smoke never became ready"; kill "$pid"; exit 1; }
window="$(xdotool search --name '^Dialog Smoke$' | head -n 1)"
[ -n "$window" ] || { echo "no window titled Dialog Smoke"; kill "$pid"; exit 1; }

# The pointer over the window gives it the keyboard (no window manager here); the click on the panel's
# title does nothing.
xdotool mousemove --window "$window" 400 100 click 1
sleep 0.3
xdotool type --delay 50 "two"
xdotool key Return
for _ in $(seq 1 50); do
    grep -q . "$work/result.txt" 2>/dev/null && break
    sleep 0.1
done
sleep 0.3
xdotool key Escape

status=0
for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$pid" 2>/dev/null; then echo "filedialog_smoke still running"; kill "$pid"; exit 1; fi
wait "$pid" || status=$?
[ "$status" -eq 0 ] || { echo "filedialog_smoke exited with $status"; exit 1; }
expected="ok $work/Levels/Two.lev
cancel"
got="$(cat "$work/result.txt")"
if [ "$got" != "$expected" ]; then
    echo "expected:"; echo "$expected"; echo "got:"; echo "$got"
    exit 1
fi
echo "chooser took a typed name, cancelled on Escape, and kept its keys"
