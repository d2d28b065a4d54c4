#!/usr/bin/env bash
# Builds the package (not the test suite) and starts it: the menu, from which the games are started.
source "$(dirname "$0")/tools/setup.sh"
quib_build_package "$QUIB_ROOT/build"
cd "$QUIB_ROOT/build/package" && exec ./lobbit "$@"
