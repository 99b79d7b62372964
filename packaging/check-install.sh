#!/bin/sh
# Builds the two programs, installs them into a temporary prefix, builds the
# Debian package and checks that both hold the programs, the desktop entry,
# the icon, the manual pages, the AppStream metadata, the bash completion and
# the copyright and changelog, and that the package declares what it depends
# on. Then Debian's own checks: lintian on the package and appstreamcli on the
# metadata; any error or warning fails. lintian would pass a tag the package
# overrides (usr/share/lintian/overrides/kova, one commented line a tag); the
# package needs none.
#
# Usage: packaging/check-install.sh [BUILD_DIR]   (default: build)
# Installs help2man, lintian, appstream and bash-completion when missing (as root).
set -eu
cd "$(dirname "$0")/.."
build=${1:-build}

tools="help2man lintian appstream bash-completion dpkg-dev man-db"
if ! dpkg -s $tools >/dev/null 2>&1; then
    apt-get update
    DEBIAN_FRONTEND=noninteractive apt-get install -y $tools
fi

[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target kova kova-export >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
metainfo=share/metainfo/org.kova_project.kova.metainfo.xml
completion=share/bash-completion/completions/kova-export
wanted="bin/kova bin/kova-export share/applications/kova.desktop share/icons/hicolor/64x64/apps/kova.png
    share/man/man1/kova.1.gz share/man/man1/kova-export.1.gz $metainfo $completion
    share/doc/kova/copyright share/doc/kova/changelog.gz"
fail=0

cmake --install "$build" --prefix "$work/prefix" >/dev/null
for f in $wanted; do
    [ -f "$work/prefix/$f" ] || { echo "not installed: $f"; fail=1; }
done
"$work/prefix/bin/kova-export" --help | grep -q 'kova.ini' || { echo "installed kova-export does not run"; fail=1; }
# The window's --help answers without a display.
env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$work/prefix/bin/kova" --version | grep -qx 'kova [0-9.]*' ||
    { echo "kova --version needs more than a terminal"; fail=1; }

(cd "$build" && cpack -G DEB -B "$work/deb" >/dev/null)
deb=$(ls "$work"/deb/*.deb)
dpkg-deb -c "$deb" | awk '{print $6}' > "$work/contents"
for f in $wanted; do
    grep -qx "./usr/$f" "$work/contents" || { echo "not in $(basename "$deb"): /usr/$f"; fail=1; }
done
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt5widgets5 libqt5core5a libqt5sql5-sqlite libzip libexpat1; do
    case "$depends" in *"$lib"*) ;; *) echo "Depends lacks $lib: $depends"; fail=1 ;; esac
done
changelog=$(dpkg-parsechangelog -l packaging/changelog -S Version)
[ "$changelog" = "$(dpkg-deb -f "$deb" Version)" ] ||
    { echo "packaging/changelog is at $changelog, the package at $(dpkg-deb -f "$deb" Version)"; fail=1; }
dpkg-deb -x "$deb" "$work/root"

# Manual pages: format without a groff warning, and carry the extra sections.
for page in kova kova-export; do
    file=$work/root/usr/share/man/man1/$page.1.gz
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$file" 2>&1 >/dev/null)
    [ -z "$warnings" ] || { echo "man $page: $warnings"; fail=1; }
    for section in FILES 'EXIT STATUS' EXAMPLES; do
        zcat "$file" | grep -q "^\.SH \"*$section\"*\$" || { echo "man $page lacks $section"; fail=1; }
    done
done
# The forms kova-export --help gives after "Usage:" are the synopsis.
synopsis=$(MANWIDTH=200 man -l "$work/root/usr/share/man/man1/kova-export.1.gz" | sed -n '/^SYNOPSIS/,/^DESCRIPTION/p')
for form in 'kova-export TYPE' 'kova-export history' 'kova-export template' 'kova-export verify'; do
    case "$synopsis" in *"$form"*) ;; *) echo "man kova-export: SYNOPSIS lacks $form"; fail=1 ;; esac
done

# Completion: what <Tab> offers after the words given (the last one being
# completed), run in a folder holding a workbook, a text file and a picture.
mkdir "$work/files" && touch "$work/files/pay.xlsx" "$work/files/notes.txt" "$work/files/photo.png"
offered() {
    (cd "$work/files" && bash -c '. /usr/share/bash-completion/bash_completion && . "$0" &&
        COMP_WORDS=("$@") && COMP_CWORD=$(($# - 1)) && COMP_LINE="$*" && COMP_POINT=${#COMP_LINE} &&
        _kova_export && printf "%s\n" "${COMPREPLY[@]}" | sort | xargs' \
        "$work/root/usr/$completion" kova-export "$@")
}
expect_offered() {
    want=$1
    shift
    got=$(offered "$@")
    [ "$got" = "$want" ] || { echo "completion of 'kova-export $*': '$got', expected '$want'"; fail=1; }
}
expect_offered "collection credit history payroll template transfer verify" ""
expect_offered "collection credit payroll transfer" template ""
expect_offered "--account --allow-duplicate --date-order --decimal-mark --delimiter --dest --effective --encoding --from --header-row --help --holiday --report --settings --sheet --source --to" \
    payroll --
expect_offered "--account --allow-duplicate --clearing --date-order --decimal-mark --delimiter --dest --effective --encoding --from --header-row --help --max --min --mode --remarks1 --remarks2 --report --settings --sheet --to --wdk" \
    credit --source pay.xlsx --
expect_offered "--help --settings" history --
expect_offered "--help --settings" verify notes.txt --
expect_offered "notes.txt pay.xlsx photo.png" verify ""
expect_offered "others wdk" transfer --mode ""
expect_offered "comma dot" payroll --decimal-mark ""
expect_offered "notes.txt pay.xlsx" transfer --source ""
expect_offered "notes.txt pay.xlsx photo.png" transfer --dest ""
expect_offered "pay.xlsx" template payroll --dest ""
# Every option --help names is one the completion knows.
for option in $("$work/root/usr/bin/kova-export" --help | grep -o -- '--[a-z0-9-]*' | sort -u); do
    grep -q -- "$option[ '\")]" "$work/root/usr/$completion" || { echo "completion lacks $option"; fail=1; }
done

# AppStream: the metadata on its own and with the desktop entry and icon it
# names. Offline: the homepage and screenshot addresses are not fetched; the
# screenshots must be the ones kept in docs/.
for shot in $(grep -o 'https://[^<]*\.png' "packaging/${metainfo##*/}"); do
    [ -f "docs/${shot##*/}" ] || { echo "metainfo shows a screenshot docs/ lacks: $shot"; fail=1; }
done
appstreamcli validate --no-net --pedantic "$work/root/usr/$metainfo" || fail=1
appstreamcli validate-tree --no-net "$work/root" || fail=1

lintian --fail-on error,warning --display-level '>=warning' --show-overrides "$deb" || fail=1

[ $fail = 0 ] && echo "install and package: $(basename "$deb"), Depends: $depends"
exit $fail
