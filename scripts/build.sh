#!/usr/bin/env bash
# Configures and builds everything into build/, the tests and benchmarks
# included; the program directory is build/program.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON -DKV_BENCHMARKS=ON >/dev/null
cmake --build build --parallel "$(nproc)"
