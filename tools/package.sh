#!/usr/bin/env bash
# Builds the Debian package of Orvelt, build/package/package/orvelt_<version>_amd64.deb, and
# prints its path on the last line. With --install, installs it on this machine afterwards.
set -euo pipefail
cd "$(dirname "$0")/.."

install=no
case "${1:-}" in
    "") ;;
    --install) install=yes ;;
    *) echo "usage: bash tools/package.sh [--install]" >&2; exit 2 ;;
esac

tools/install-deps.sh
# dpkg-shlibdeps computes the dependencies; CPack finds the programs with file.
tools/ensure-packages.sh dpkg-dev file

# Debian's own compiler and linker flags (optimised, hardened); the build type adds none.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
dir=build/package
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=None -DCMAKE_INSTALL_PREFIX=/usr \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
    -DORVELT_BUILD_TESTS=OFF -DORVELT_BUILD_BENCH=OFF >/dev/null
cmake --build "$dir" -j "$(nproc)"
rm -f "$dir"/package/orvelt_*.deb
(cd "$dir" && cpack -G DEB >/dev/null)
deb=$(ls "$PWD/$dir"/package/orvelt_*_amd64.deb)

if [ "$install" = yes ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get install -y "$deb"
fi
echo "$deb"
