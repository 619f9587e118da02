#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds Quillon and opens the demo model it generates, with
# the demo game folder the build generates as the game (settings in build/demo/home).
# Only the build packages are installed here, so the tests and benchmarks are left out.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh build
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLON_TESTS=OFF -DQUILLON_BENCH=OFF
cmake --build build
if [ -x build/app/quillon ]; then
  # Model files given on the command line are opened in place of the demo model.
  if [ $# -eq 0 ]; then
    set -- build/demo/demo.md3
  fi
  QUILLON_HOME="$PWD/build/demo/home" exec build/app/quillon "$@"
fi
exec build/cli/quillon-cli info build/demo/demo.md3
