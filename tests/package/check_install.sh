#!/usr/bin/env bash
# Installs the package into a temporary prefix and checks it stands on its own: the menu folder with the
# libraries and the menu's files, the game folder with its content, run paths relative to the binaries
# (nothing of the build or source tree), both programs start headless from there, and the installed host
# library reads a ".x" file through the helper program installed beside it.
# Usage: check_install.sh BUILD_DIR SOURCE_DIR X_LOAD_PROBE
set -euo pipefail
build="$(cd "$1" && pwd -P)"
source="$(cd "$2" && pwd -P)"
probe="$3"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cmake --install "$build" --prefix "$tmp/prefix" >/dev/null
package="$tmp/prefix/quib"

for file in lobbit libquib.so libquibhost.so quib-ximport setup.ini options.ini background.bmp \
            Tessary/tessary Tessary/setup.ini Tessary/tiles.bmp Tessary/sounds/music.mp3 \
            Tessary/Levels/001.lev Tessary/Levels/050.lev; do
    [ -f "$package/$file" ] || fail "$file is not installed"
done
for file in debug.log Tessary/debug.log Tessary/hiscore.dat; do
    [ ! -e "$package/$file" ] || fail "$file, left by a run, was installed"
done

# Run paths: only $ORIGIN-relative ones, and none naming the build or the source tree.
for binary in lobbit Tessary/tessary libquib.so libquibhost.so quib-ximport; do
    paths="$(readelf -d "$package/$binary" | grep -E 'R(UN)?PATH' || true)"
    case "$paths" in
        *"$build"* | *"$source"*) fail "$binary keeps a build path: $paths" ;;
    esac
    for path in $(echo "$paths" | sed -n 's/.*\[\(.*\)\].*/\1/p' | tr ':' ' '); do
        case "$path" in
            '$ORIGIN' | '$ORIGIN/'*) ;;
            *) fail "$binary has a run path that is not relative to itself: $path" ;;
        esac
    done
done
expect_runpath() {
    grep -qF "[$2]" <<<"$(readelf -d "$package/$1")" || fail "$1 should have the run path $2"
}
expect_runpath lobbit '$ORIGIN'
expect_runpath Tessary/tessary '$ORIGIN/..'
expect_runpath libquib.so '$ORIGIN'

# The engine and host libraries are found in the installed menu folder.
unset LD_LIBRARY_PATH
for program in lobbit Tessary/tessary; do
    for library in libquib.so libquibhost.so; do
        grep -qF "$library => $package/" <<<"$(ldd "$package/$program")" ||
            fail "$program does not load the installed $library: $(ldd "$package/$program" | grep "$library")"
    done
done

# The installed host library finds its ".x" helper from its own place: the probe runs elsewhere, with no
# environment but the library's folder.
printf 'xof 0303txt 0032\nMesh M { 3; 0.0;0.0;0.0;, 1.0;0.0;0.0;, 0.0;1.0;0.0;; 1; 3;0,1,2;; }\n' >"$tmp/triangle.x"
grep -qF "libquibhost.so => $package/" <<<"$(LD_LIBRARY_PATH="$package" ldd "$probe")" ||
    fail "the probe does not run against the installed host library"
faces="$(cd / && env -i LD_LIBRARY_PATH="$package" "$probe" "$tmp/triangle.x")" ||
    fail "the installed host library did not read a .x file (exit $?)"
[ "$faces" = 1 ] || fail "the installed host library read $faces faces of a one-triangle .x file"

# Both programs start from there, headless, show their first screen (captured) and end cleanly.
export HOST_BACKEND=headless HOST_MAX_FRAMES=5 HOST_RECORD="$tmp/record.txt"
echo "3 capture $tmp/menu.bmp" >"$tmp/menu.script"
echo "3 capture $tmp/game.bmp" >"$tmp/game.script"
(cd "$package" && HOST_SCRIPT="$tmp/menu.script" ./lobbit) || fail "the installed menu did not run (exit $?)"
(cd "$package/Tessary" && HOST_SCRIPT="$tmp/game.script" ./tessary "$package") ||
    fail "the installed game did not run (exit $?)"
for screen in menu game; do
    [ "$(stat -c %s "$tmp/$screen.bmp" 2>/dev/null || echo 0)" -gt 800000 ] || fail "the $screen showed no screen"
done
if [ -s "$tmp/record.txt" ]; then fail "the programs reported: $(cat "$tmp/record.txt")"; fi
echo "installed package runs from $package"
