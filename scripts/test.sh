#!/usr/bin/env bash
# Builds KESTREL and runs every test: unit tests, jobs through a private CUPS daemon (needs root,
# as in CI), the Debian package installed and checked (root), the unit tests again under
# AddressSanitizer/UBSan, short fuzz runs when clang is present, and a formatting check. Installs
# missing Debian packages first.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

scripts/install-deps.sh

echo "== build (warnings are errors)"
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTREL_WERROR=ON >/dev/null
cmake --build build-test -j"$jobs"

echo "== tests"
ctest --test-dir build-test --output-on-failure -j"$jobs"

echo "== Debian package: built, lintian, installed, checked, removed"
scripts/package-check.sh build-test

echo "== unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DKESTREL_SANITIZE=ON -DKESTREL_WERROR=ON \
    -DKESTREL_BENCH=OFF >/dev/null
cmake --build build-asan -j"$jobs" --target kestrel_unit_tests
build-asan/tests/kestrel_unit_tests --gtest_brief=1

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
