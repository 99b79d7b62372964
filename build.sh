#!/bin/sh
# Sets up a fresh Debian machine (as root), builds KOVA and either starts it or
# runs every test. Safe to run again: it installs only what is missing.
#   ./build.sh run              build and start kova
#   ./build.sh test             build and run the whole test suite
#   ./build.sh sanitize         the whole test suite built with AddressSanitizer
#                               and UndefinedBehaviorSanitizer (build-sanitize/)
#   ./build.sh fuzz [SECONDS]   build the fuzz targets with clang (build-fuzz/),
#                               write their seeds and run each SECONDS (60)
set -eu
cd "$(dirname "$0")"

packages="cmake g++ make pkg-config help2man qtbase5-dev libzip-dev libexpat1-dev libssl-dev libxlsxwriter-dev libqt5sql5-sqlite fonts-dejavu-core python3-xlsxwriter libcsv-dev libisal-dev poppler-utils"
if [ "${1:-}" = fuzz ]; then
    packages="$packages clang"
fi
if ! dpkg -s $packages >/dev/null 2>&1; then
    apt-get update
    DEBIAN_FRONTEND=noninteractive apt-get install -y $packages
fi

case "${1:-}" in
    run|test)
        cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
        cmake --build build -j"$(nproc)"
        ;;
esac

case "${1:-}" in
    run)  exec build/bin/kova ;;
    test) exec ctest --test-dir build --output-on-failure -j"$(nproc)" ;;
    sanitize)
        # -O1 keeps the instrumented suite fast enough for CI.
        cmake -S . -B build-sanitize -DKOVA_SANITIZE=ON -DCMAKE_BUILD_TYPE=None -DCMAKE_CXX_FLAGS="-O1 -g"
        cmake --build build-sanitize -j"$(nproc)"
        export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
        export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
        export LSAN_OPTIONS="suppressions=$PWD/.ci/lsan.supp:print_suppressions=0"
        exec ctest --test-dir build-sanitize --output-on-failure -j"$(nproc)"
        ;;
    fuzz)
        seconds="${2:-60}"
        cmake -S . -B build-fuzz -DKOVA_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++
        cmake --build build-fuzz -j"$(nproc)"
        rm -rf build-fuzz/seeds
        build-fuzz/bin/fuzz_seeds build-fuzz/seeds
        # The .xls and .ods fixtures, the .xls saved with a password among them.
        cp tests/reader/fixtures/*.xls tests/reader/fixtures/*.ods build-fuzz/seeds/package/
        failed=0
        for target in package sheet csv celltext; do
            mkdir -p "build-fuzz/corpus/$target"
            if build-fuzz/bin/${target}_fuzzer -dict=fuzz/xlsx.dict -max_total_time="$seconds" -timeout=10 \
                    -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1 -artifact_prefix=build-fuzz/ \
                    "build-fuzz/corpus/$target" "build-fuzz/seeds/$target" >"build-fuzz/$target.log" 2>&1; then
                echo "$target: $(grep -o 'number_of_executed_units: [0-9]*' "build-fuzz/$target.log")"
            else
                failed=$((failed + 1))
                tail -n 80 "build-fuzz/$target.log"
                echo "$target: FAILED (input kept in build-fuzz/)"
            fi
        done
        echo "fuzz: $((4 - failed)) passed, $failed failed"
        [ "$failed" -eq 0 ]
        ;;
    *)  echo "usage: $0 run|test|sanitize|fuzz [SECONDS]" >&2; exit 64 ;;
esac
