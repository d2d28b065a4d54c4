# Shared set-up for play.sh, test.sh and CI: installs the Debian packages the build needs when they are
# missing, then configures and builds into the given folder. Source it, then call quib_build DIR [cmake args]
# (everything) or quib_build_package DIR [cmake args] (the package only).
set -euo pipefail

QUIB_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
QUIB_PACKAGES=(cmake g++ make pkg-config clang libsdl2-dev libfreetype-dev fonts-liberation libmpg123-dev lame
               libmp3lame-dev libassimp-dev zlib1g-dev libgtest-dev libgmock-dev libbenchmark-dev libosmesa6-dev xvfb xauth xdotool x11-apps)

quib_install_packages() {
    local missing=()
    for pkg in "${QUIB_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
}

# quib_configure DIR [cmake args]: installs what is missing and configures the build folder DIR. Under CI
# (QUIB_WERROR=ON in the environment) every warning is an error.
quib_configure() {
    local dir="$1"
    shift
    quib_install_packages
    cmake -S "$QUIB_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUIB_WERROR="${QUIB_WERROR:-OFF}" "$@" >/dev/null
}

# quib_build DIR [cmake args]: configures DIR and builds everything in it, the test suite and the
# benchmarks included (built so that they keep building; only tools/bench.sh runs them).
quib_build() {
    quib_configure "$@" -DQUIB_BENCH=ON
    cmake --build "$1" -j "$(nproc)"
}

# quib_build_package DIR [cmake args]: configures DIR and builds only the package (programs, libraries
# and content), not the test suite.
quib_build_package() {
    quib_configure "$@"
    cmake --build "$1" -j "$(nproc)" --target quib_package
}
