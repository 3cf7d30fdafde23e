# Shared by scripts/run and scripts/test: install what is missing, configure, build.
# Sourced, not run.

KORV_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

KORV_PACKAGES=(
    cmake ninja-build g++ pkg-config ccache
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libasound2-dev libjack-jackd2-dev jackd2 libinih-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth
    librsvg2-bin
    dpkg-dev file desktop-file-utils appstream lintian strace
)

korv_install_packages() {
    local missing=() pkg
    for pkg in "${KORV_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' \
            || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    # jackd2 asks about realtime priority; answer with the default.
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
}

# korv_build DIR BUILD_TYPE [extra cmake args...]
korv_build() {
    local dir=$1 type=$2
    shift 2
    if [ ! -f "$dir/CMakeCache.txt" ]; then
        cmake -S "$KORV_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" "$@"
    fi
    cmake --build "$dir" --parallel "$(nproc)"
}
