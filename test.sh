#!/usr/bin/env bash
# Builds the package and runs the whole test suite. With --sanitize, builds and runs it under
# AddressSanitizer and UndefinedBehaviorSanitizer in a separate build folder.
source "$(dirname "$0")/tools/setup.sh"
dir="$QUIB_ROOT/build"
args=()
if [ "${1:-}" = "--sanitize" ]; then
    dir="$QUIB_ROOT/build-sanitize"
    args+=(-DQUIB_SANITIZE=ON)
fi
quib_build "$dir" "${args[@]}"
cd "$dir"
ctest --output-on-failure -j "$(nproc)" --timeout 300
