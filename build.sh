#!/bin/sh
# Sets up a fresh Debian machine (as root), builds KOVA and either starts it or
# runs every test. Safe to run again: it installs only what is missing.
#   ./build.sh run    build and start kova
#   ./build.sh test   build and run the whole test suite
set -eu
cd "$(dirname "$0")"

packages="cmake g++ make pkg-config qtbase5-dev libzip-dev libexpat1-dev libxlsxwriter-dev libqt5sql5-sqlite fonts-dejavu-core python3-xlsxwriter"
if ! dpkg -s $packages >/dev/null 2>&1; then
    apt-get update
    DEBIAN_FRONTEND=noninteractive apt-get install -y $packages
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"

case "${1:-}" in
    run)  exec build/bin/kova ;;
    test) exec ctest --test-dir build --output-on-failure -j"$(nproc)" ;;
    *)    echo "usage: $0 run|test" >&2; exit 64 ;;
esac
