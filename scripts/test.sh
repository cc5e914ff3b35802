#!/usr/bin/env bash
# Installs what is missing, builds, runs every test and makes and checks the
# Debian package; then builds again with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs the non-GUI tests; last, every fuzz
# harness runs briefly.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

bash scripts/build.sh
ctest --test-dir build -j2 --output-on-failure
bash scripts/package.sh

BUILD_DIR=build-sanitize bash scripts/build.sh -DQRP_SANITIZE=ON -DQRP_BUILD_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-sanitize -j2 --output-on-failure -LE gui

bash scripts/fuzz.sh all "${QRP_FUZZ_SECONDS:-40}"
