#!/usr/bin/env bash
# Sets up a Debian 12 machine for Kalvex and builds it, then runs the messenger or the tests.
#   ./kalvex.sh run       install what is missing, build, start the messenger
#   ./kalvex.sh test      install what is missing, build, run the whole test suite
#   ./kalvex.sh bench     install what is missing, build in release mode, print the benchmarks' figures
#   ./kalvex.sh sanitize  install what is missing, build with memory and undefined-behaviour
#                         checks, run the whole test suite under them
#   ./kalvex.sh package   install what is missing, build in release mode, make the Debian package
#   ./kalvex.sh soak [cycles transfers [seed]]
#                         install what is missing, build in release mode, run the soak (1000 chat
#                         sessions and 200 file transfers unless told otherwise); fails on growth
#   ./kalvex.sh storm [rounds [seed]]
#                         build with the sanitizers, set a hostile partner on one messenger
#                         (300 rounds unless told otherwise); fails on a crash, hang or growth
#   ./kalvex.sh fuzz [seconds [target...]]
#                         install clang, build the fuzz targets, run each in turn (60 s each)
#   ./kalvex.sh format [check]
#                         install clang-format, format every C++ file by .clang-format; with
#                         "check", change nothing and fail when a file is not formatted
# All are safe to repeat: they install, configure and build only what is not done yet.
set -euo pipefail

cd "$(dirname "$0")"
root=$(pwd)
build="$root/build"
release="$root/build-release"

packages=(cmake ninja-build g++ qt6-base-dev qt6-multimedia-dev libgl-dev libcap2-bin fonts-dejavu-core)
# The test suite replays the committed fuzz corpora through the fuzz targets, which read their
# input through FuzzedDataProvider.h from libclang-rt-14-dev, and starts a private session bus
# (dbus-daemon) with a notification server of its own.
test_packages=(libclang-rt-14-dev dbus-daemon)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo -n "$@" || sudo "$@"; fi
}

install_missing() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        as_root apt-get update -qq
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
}

# build_all [folder [build type]]
build_all() {
    local folder="${1:-$build}" type="${2:-RelWithDebInfo}"
    if [ ! -f "$folder/build.ninja" ]; then
        cmake -S "$root" -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE="$type"
    fi
    cmake --build "$folder" --parallel "$(nproc)"
}

# Every benchmark under bench/, one after the other; each prints "name: value unit" lines,
# and lines beginning with "#" say how a figure was taken.
run_benchmarks() {
    local status=0
    build_all "$release" Release
    for program in "$release"/bench/bench_*; do
        [ -f "$program" ] && [ -x "$program" ] || continue
        echo "# $(basename "$program")"
        QT_QPA_PLATFORM=offscreen "$program" 2>/dev/null || status=1
    done
    return $status
}

# The Debian package, made by CPack from the release build; prints the .deb's path.
make_package() {
    build_all "$release" Release
    (cd "$release" && cpack) | sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p'
}

# The whole test suite built with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-sanitize/ (-O1 keeps it fast enough): a memory error, a leak or undefined behaviour
# aborts the test that meets it. Leaks that system libraries keep on purpose are listed, each
# with its reason, in tools/sanitize/lsan.supp.
sanitized="$root/build-sanitize"
sanitizer_env=(
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:check_initialization_order=1:strict_init_order=1:detect_stack_use_after_return=1
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    LSAN_OPTIONS=suppressions="$root/tools/sanitize/lsan.supp")

configure_sanitized() {
    if [ ! -f "$sanitized/build.ninja" ]; then
        cmake -S "$root" -B "$sanitized" -G Ninja -DKALVEX_SANITIZE=ON \
            -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g"
    fi
}

run_sanitized_tests() {
    configure_sanitized
    build_all "$sanitized"
    cd "$sanitized"
    env "${sanitizer_env[@]}" QT_QPA_PLATFORM=offscreen ctest --output-on-failure
}

# A hostile partner against one messenger, built with the sanitizers; its arguments go to the
# storm program (rounds, seed), and so does its exit status.
run_storm() {
    configure_sanitized
    cmake --build "$sanitized" --parallel "$(nproc)" --target storm_kalvex
    env "${sanitizer_env[@]}" QT_LOGGING_RULES="qt.core.qobject.connect=false;qt.multimedia*=false" \
        "$sanitized/soak/storm_kalvex" "$@"
}

# Two messengers in one process through many sessions and transfers, watching descriptors and
# memory; its arguments go to the soak program, and so does its exit status.
run_soak() {
    build_all "$release" Release
    QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES="qt.core.qobject.connect=false" \
        "$release/soak/soak_kalvex" "$@"
}

# The fuzz targets under fuzz/, built with clang's libFuzzer and sanitizers into build-fuzz/,
# each run for the given seconds on a working corpus seeded from fuzz/corpus/ (which is never
# written). Prints one line of figures per target; nonzero when any target found something.
run_fuzzers() {
    local seconds="${1:-60}" folder="$root/build-fuzz" status=0 targets=("${@:2}")
    packages=(clang "${test_packages[@]}" "${packages[@]}")
    install_missing
    if [ ! -f "$folder/build.ninja" ]; then
        CC=clang CXX=clang++ cmake -S "$root" -B "$folder" -G Ninja \
            -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKALVEX_FUZZ=ON -DBUILD_TESTING=OFF
    fi
    cmake --build "$folder" --parallel "$(nproc)" --target fuzzers
    if [ ${#targets[@]} -eq 0 ]; then
        for program in "$folder"/fuzz/fuzz_*; do targets+=("${program##*/fuzz_}"); done
    fi
    for target in "${targets[@]}"; do
        fuzz_target "$folder" "$target" "$seconds" || status=1
    done
    return $status
}

# fuzz_stat log name: one of the figures libFuzzer prints at the end of a run.
fuzz_stat() {
    grep -oP "^stat::$2: *\K[0-9]+" "$1" || echo "?"
}

# fuzz_target folder target seconds
fuzz_target() {
    local folder="$1" target="$2" seconds="$3"
    local corpus="$folder/corpus/$target" findings="$folder/findings/$target"
    local log="$folder/logs/$target.log" scratch rc=0
    mkdir -p "$corpus" "$findings" "$folder/logs"
    for seed in "$root/fuzz/corpus/$target"/*; do
        [ -e "$corpus/${seed##*/}" ] || cp "$seed" "$corpus/"
    done
    # The file-name target saves files; a memory-backed temporary folder keeps that fast.
    scratch=$(mktemp -d -p "$([ -w /dev/shm ] && echo /dev/shm || echo /tmp)")
    TMPDIR="$scratch" "$folder/fuzz/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$findings/" "$corpus" >"$log" 2>&1 || rc=$?
    rm -rf "$scratch"
    local last
    last=$(grep -E '(DONE|INITED|NEW|REDUCE|pulse) +cov:' "$log" | tail -1)
    printf '%s: executions %s, exec/s %s, cov %s, ft %s, corpus %s entries (%s files), ' "$target" \
        "$(fuzz_stat "$log" number_of_executed_units)" "$(fuzz_stat "$log" average_exec_per_sec)" \
        "$(grep -oP 'cov: \K[0-9]+' <<<"$last" || echo "?")" "$(grep -oP 'ft: \K[0-9]+' <<<"$last" || echo "?")" \
        "$(grep -oP 'corp: \K[0-9]+' <<<"$last" || echo "?")" "$(find "$corpus" -type f | wc -l)"
    if [ $rc -ne 0 ]; then
        echo "FOUND: $(grep -m1 -E 'ERROR|invariant broken|runtime error' "$log") ($(ls "$findings" | tr '\n' ' '); log $log)"
        return 1
    fi
    echo "nothing found"
}

# Every C++ file of ours, formatted by .clang-format, or only checked ("check").
format_sources() {
    local files
    mapfile -t files < <(find src tests bench fuzz soak tools -name '*.cpp' -o -name '*.h' | sort)
    if [ "${1:-}" = check ]; then
        clang-format --dry-run --Werror "${files[@]}"
    else
        clang-format -i "${files[@]}"
    fi
}

# Ports 786 and 821 lie below 1024: let the program bind them without running as root.
grant_low_ports() {
    local binary="$build/src/kalvex"
    if getcap "$binary" 2>/dev/null | grep -q cap_net_bind_service; then return; fi
    if [ "$(id -u)" -eq 0 ] || sudo -n true 2>/dev/null; then
        as_root setcap cap_net_bind_service=+ep "$binary" || echo "Could not grant low ports; see README." >&2
    else
        echo "Not root: Kalvex cannot listen on ports 786 and 821 (see README, 'Ports below 1024')." >&2
    fi
}

case "${1:-}" in
run)
    install_missing
    build_all
    grant_low_ports
    exec "$build/src/kalvex"
    ;;
test)
    packages+=("${test_packages[@]}")
    install_missing
    build_all
    cd "$build"
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 300
    ;;
bench)
    install_missing
    run_benchmarks
    ;;
sanitize)
    packages+=("${test_packages[@]}")
    install_missing
    run_sanitized_tests
    ;;
package)
    # dpkg-shlibdeps (dpkg-dev) and file find the Qt packages the program links.
    packages+=(dpkg-dev file)
    install_missing
    make_package
    ;;
soak)
    shift
    install_missing
    run_soak "$@"
    ;;
storm)
    shift
    install_missing
    run_storm "$@"
    ;;
fuzz)
    run_fuzzers "${@:2}"
    ;;
format)
    packages=(clang-format)
    install_missing
    format_sources "${2:-}"
    ;;
*)
    echo "usage: $0 run|test|bench|sanitize|package|soak [cycles transfers [seed]]|storm [rounds [seed]]|fuzz [seconds [target...]]|format [check]" >&2
    exit 2
    ;;
esac
