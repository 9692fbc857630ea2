#!/usr/bin/env bash
# Builds KESTREL and runs every test under AddressSanitizer/UBSan: unit tests, the windowed
# program's tests, jobs through a private CUPS daemon (needs root, as in CI). Then the Debian
# package from a release build, installed and checked (root), short fuzz runs when clang is
# present, and a formatting check. Installs missing Debian packages first.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

scripts/install-deps.sh

# Every test (unit, GUI offscreen and under Xvfb, CUPS) runs once, on a build with AddressSanitizer
# and UndefinedBehaviorSanitizer: a memory fault or undefined behaviour anywhere fails the run.
echo "== build with AddressSanitizer and UndefinedBehaviorSanitizer (warnings are errors)"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DKESTREL_SANITIZE=ON -DKESTREL_WERROR=ON \
    -DKESTREL_BENCH=OFF >/dev/null
cmake --build build-asan -j"$jobs"

echo "== tests under the sanitizers"
export ASAN_OPTIONS=detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
ctest --test-dir build-asan --output-on-failure -j"$jobs"
unset ASAN_OPTIONS UBSAN_OPTIONS LSAN_OPTIONS

# The package is built from an optimised build without sanitizers, with the benchmarks.
echo "== release build (warnings are errors)"
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTREL_WERROR=ON \
    -DKESTREL_TESTS=OFF >/dev/null
cmake --build build-test -j"$jobs"

echo "== Debian package: built, lintian, installed, checked, removed"
scripts/package-check.sh build-test

if command -v clang++ >/dev/null 2>&1; then
    echo "== fuzz targets (short runs)"
    CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTREL_FUZZ=ON \
        -DKESTREL_TESTS=OFF -DKESTREL_BENCH=OFF -DKESTREL_CUPS=OFF >/dev/null
    cmake --build build-fuzz -j"$jobs"
    scripts/run-fuzzers.sh build-fuzz "${KESTREL_FUZZ_SECONDS:-20}"
fi

echo "== formatting"
git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' |
    xargs clang-format --dry-run --Werror

echo "All tests passed."
