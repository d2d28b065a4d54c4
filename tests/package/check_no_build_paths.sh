#!/usr/bin/env bash
# The binaries name no folder of the machine that built them: error texts and debug information name
# each source file from the top of the source tree ("quib/scene/api/camera_api.cpp"). So the texts a user sees
# carry no build path, and two builds of the same sources in different folders differ only in the build
# tree's run paths, which the install replaces by paths relative to each binary (check_install.sh checks
# those); they are left out here. Nothing else the build puts in the package folder names those folders.
# Usage: check_no_build_paths.sh SOURCE_DIR BUILD_DIR PACKAGE_DIR LIBQUIB BINARY...
set -euo pipefail
source_dir="$1"
build_dir="$2"
package_dir="$3"
libquib="$4"
shift 3
status=0
fail() { echo "FAIL: $*"; status=1; }

# Each folder as given and as the file system resolves it.
folders=("$source_dir" "$build_dir" "$(cd "$source_dir" && pwd -P)" "$(cd "$build_dir" && pwd -P)")
patterns=()
for folder in "${folders[@]}"; do
    patterns+=(-e "${folder%/}")
done
# Any absolute path to a file of the package's source folders, wherever the tree was.
absolute_source='(^|[^[:alnum:]_.])/([^/[:space:]]+/)*(quib|host|sound|framework|tessary|lobbit)/[^[:space:]]*\.(cpp|h)'

for binary in "$@"; do
    runpath="$(readelf -d "$binary" | sed -n 's/.*(R\(UN\)\{0,1\}PATH).*\[\(.*\)\]$/\2/p')"
    texts="$(strings -a "$binary")"
    [ -z "$runpath" ] || texts="$(grep -vxF -e "$runpath" <<<"$texts" || true)"
    found="$(grep -F "${patterns[@]}" <<<"$texts" | head -3 || true)"
    [ -z "$found" ] || fail "$(basename "$binary") names the source or build folder: $found"
    found="$(grep -E "$absolute_source" <<<"$texts" | head -3 || true)"
    [ -z "$found" ] || fail "$(basename "$binary") names a source file by its absolute path: $found"
done

# The generated files of the package (the binaries are checked above; what a run leaves is not shipped).
found="$(grep -rlF "${patterns[@]}" --exclude=lobbit --exclude=tessary --exclude='*.so' --exclude=debug.log \
    --exclude=hiscore.dat "$package_dir" | head -3 || true)"
[ -z "$found" ] || fail "the package folder holds files naming the source or build folder: $found"

# The engine's error reports name their file as the tree does: the texts are there, only shorter.
grep -qF "quib/scene/api/camera_api.cpp" <<<"$(strings -a "$libquib")" ||
    fail "libquib.so does not name quib/scene/api/camera_api.cpp for its error reports"
exit $status
