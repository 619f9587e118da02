#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, checks the formatting, builds Quillon and runs every test
# (GUI tests under Xvfb). It then builds the headless libraries and the command line once more
# with AddressSanitizer and UndefinedBehaviorSanitizer and runs their tests again;
# --no-sanitize leaves that stage out.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh build test
scripts/install-validator.sh

scripts/check-format.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLON_TESTS=ON \
  -DQUILLON_BENCH=ON -DQUILLON_WERROR=ON
cmake --build build
scripts/unpack-testdata.sh build/testdata
(cd build && xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure)

# The install_* tests check the installed program in a throw-away root; on a machine of its own
# (CI: fresh, and root) the Debian package is also installed for real and tried.
if [ "$(id -u)" -eq 0 ] && command -v dpkg >/dev/null; then
  (cd build && cpack -G DEB)
  tests/install/PackageTest.sh build "$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/CMakeCache.txt)"
fi

[ "${1:-}" = "--no-sanitize" ] && exit 0
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLON_GUI=OFF \
  -DQUILLON_TESTS=ON -DQUILLON_BENCH=OFF -DQUILLON_SANITIZE=ON -DQUILLON_WERROR=ON
cmake --build build-asan
scripts/unpack-testdata.sh build-asan/testdata
# LeakSanitizer stops the world through ptrace, which containers often deny; the address and
# undefined-behaviour checks are what this run is for.
(cd build-asan && ASAN_OPTIONS=detect_leaks=0 ctest --output-on-failure)
