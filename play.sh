#!/usr/bin/env bash
# Builds the package and starts it: the menu, from which the games are started.
source "$(dirname "$0")/tools/setup.sh"
quib_build "$QUIB_ROOT/build"
package="$QUIB_ROOT/build/package"
if [ -x "$package/lobbit" ]; then
    cd "$package" && exec ./lobbit "$@"
elif [ -x "$package/Tessary/tessary" ]; then
    echo "The menu (lobbit) is not built yet; starting the game directly."
    cd "$package/Tessary" && exec ./tessary "$package" "$@"
else
    echo "Built the engine and libraries; the programs lobbit and tessary are not written yet."
fi
