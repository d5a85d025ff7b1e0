#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Orvelt need, when they are
# missing, and the German locale that the locale tests run under. Run as root.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    # Qt Charts' CMake package needs Qt OpenGL's, which qt6-charts-dev does not bring.
    qt6-charts-dev libqt6opengl6-dev
    libplist-dev
    # libcrypto's SHA-256 binds the value table's compact form to the table file.
    libssl-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    python3 locales clang-format
    xvfb xauth fonts-dejavu-core poppler-utils
    clang libclang-rt-14-dev
)

bash "$(dirname "$0")/ensure-packages.sh" "${packages[@]}"

# Amounts must read the same under a decimal-comma locale; the tests check it under de_DE.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
    if [ "$(id -u)" -eq 0 ]; then
        sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
        grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' >> /etc/locale.gen
        locale-gen >/dev/null
    else
        echo "warning: the de_DE.UTF-8 locale is missing; the locale tests will fail" >&2
    fi
fi
