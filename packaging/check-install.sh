#!/bin/sh
# Builds the two programs, installs them into a temporary prefix, builds the
# Debian package and checks that both hold the programs, the desktop entry and
# the icon, and that the package declares what it depends on.
#
# Usage: packaging/check-install.sh [BUILD_DIR]   (default: build)
set -eu
cd "$(dirname "$0")/.."
build=${1:-build}
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target kova kova-export >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
wanted="bin/kova bin/kova-export share/applications/kova.desktop share/icons/hicolor/64x64/apps/kova.png"
fail=0

cmake --install "$build" --prefix "$work/prefix" >/dev/null
for f in $wanted; do
    [ -f "$work/prefix/$f" ] || { echo "not installed: $f"; fail=1; }
done
"$work/prefix/bin/kova-export" --help | grep -q 'kova.ini' || { echo "installed kova-export does not run"; fail=1; }

(cd "$build" && cpack -G DEB -B "$work/deb" >/dev/null)
deb=$(ls "$work"/deb/*.deb)
dpkg-deb -c "$deb" | awk '{print $6}' > "$work/contents"
for f in $wanted; do
    grep -qx "./usr/$f" "$work/contents" || { echo "not in $(basename "$deb"): /usr/$f"; fail=1; }
done
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt5widgets5 libqt5core5a libzip libexpat1; do
    case "$depends" in *"$lib"*) ;; *) echo "Depends lacks $lib: $depends"; fail=1 ;; esac
done

[ $fail = 0 ] && echo "install and package: $(basename "$deb"), Depends: $depends"
exit $fail
