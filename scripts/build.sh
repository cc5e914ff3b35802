#!/usr/bin/env bash
# Configures and builds the project into build/ (set BUILD_DIR to change it;
# extra arguments go to CMake's configure step).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$build_dir" -j2
