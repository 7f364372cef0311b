#!/usr/bin/env bash
# Builds everything and runs every test, headless where no display is set;
# then runs them all again built with Qt 6 (build-qt6/) and built with the
# sanitizers (build-asan/).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test
scripts/build.sh
headless=()
[[ -n "${DISPLAY:-}" ]] || headless=(xvfb-run -a -s "-screen 0 1024x768x24")
"${headless[@]}" ctest --test-dir build --output-on-failure -j2

# The same suites against Qt 6, whose GL widget, events and styles differ,
# compiled by clang, whose warnings and code differ from gcc's.
# This build is for testing, not debugging: without debug information, and
# with clang, it takes about two thirds of the time gcc takes.
if [[ ! -f build-qt6/CMakeCache.txt ]]; then
  cmake -S . -B build-qt6 -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" -DALPHABET_WERROR=ON -DALPHABET_QT_MAJOR=6 >/dev/null
fi
cmake --build build-qt6 -j"$(nproc)"
"${headless[@]}" ctest --test-dir build-qt6 --output-on-failure -j2

# The sanitizer run: clang's address (leaks included) and undefined-behaviour
# sanitizers, built in about two thirds of gcc's time; any report ends its test
# with a failure. Every program also links
# tests/sanitizer/KeepGlDriverLoaded.cpp, so that Mesa's leaks can be named in
# tests/sanitizer/lsan-suppressions.txt.
sanitize="-fsanitize=address,undefined -fno-sanitize-recover=all"
keep=build-asan/keep-gl-driver.o
if [[ ! -f $keep ]]; then
  driver=$(find /usr/lib -name swrast_dri.so -print -quit)
  mkdir -p build-asan
  g++ -c -O1 -DGL_DRIVER_PATH="\"$driver\"" tests/sanitizer/KeepGlDriverLoaded.cpp -o $keep
fi
# -O1 with line tables only: the reports keep their file and line, and the build
# takes half the time of -O2 with full debug information.
if [[ ! -f build-asan/CMakeCache.txt ]]; then
  cmake -S . -B build-asan -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" -DALPHABET_WERROR=ON \
    -DCMAKE_CXX_FLAGS="$sanitize -fno-omit-frame-pointer" \
    -DCMAKE_EXE_LINKER_FLAGS="$sanitize $PWD/$keep -ldl" >/dev/null
fi
cmake --build build-asan -j"$(nproc)"
# intercept_tls_get_addr=0: the sanitizers' runtime guesses the size of a thread's
# dynamically allocated TLS blocks from the bytes before them, and now and then
# reads garbage there; its leak check then crashes ("Tracer caught signal 11").
# Those blocks are ordinary heap blocks, so the check still scans them.
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:detect_stack_use_after_return=1:intercept_tls_get_addr=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
# print_suppressions=0: the suppressed system leaks would otherwise be listed on
# standard error, which tests of the tool's messages read.
export LSAN_OPTIONS="suppressions=$PWD/tests/sanitizer/lsan-suppressions.txt:print_suppressions=0"
# The scale factors between 1 and 2, and 3, check geometry, which the two builds
# above check; the sanitizers gain nothing from them beyond the runs at 1 and 2.
"${headless[@]}" ctest --test-dir build-asan --output-on-failure -j2 -E '_x(1_[0-9]+|3)$'
