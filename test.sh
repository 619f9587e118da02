#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds Quillon and runs every test (GUI tests under Xvfb).
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh build test
scripts/install-validator.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLON_TESTS=ON -DQUILLON_BENCH=ON
cmake --build build
scripts/unpack-testdata.sh build/testdata
cd build
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure
