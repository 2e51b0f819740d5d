# Shared by ./run-station and ./run-tests: Debian packages and the build.
# shellcheck shell=bash
set -euo pipefail

KORVEL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# What building the station needs.
BUILD_PACKAGES=(build-essential cmake ninja-build pkg-config qt6-base-dev qt6-multimedia-dev libgl-dev
    libqcustomplot-dev libgtest-dev libgmock-dev libbenchmark-dev libmosquitto-dev
    fonts-dejavu-core fonts-liberation fonts-urw-base35 fonts-wine qt6-translations-l10n)

# Installs the packages that are missing (through sudo when not root). Idempotent.
ensure_packages() {
    local missing=()
    local p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
}

# configure_build DIR [cmake options...]: configures once, builds every time.
configure_build() {
    local dir=$1
    shift
    cmake -S "$KORVEL_ROOT" -B "$dir" -G Ninja "$@" >/dev/null
}

jobs() { nproc 2>/dev/null || echo 2; }
