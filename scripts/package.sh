#!/usr/bin/env bash
# Makes the Debian package veltrum-reminder_<version>_<arch>.deb and prints
# its path: installs what is missing, builds the programs (in build/, set up
# for the programs alone when it is new) and packs what "cmake --install"
# puts under /usr and /etc with CPack.
# Usage: scripts/package.sh [OUTPUT_DIR [BUILD_DIR]]   (default build/package, build)
set -euo pipefail
cd "$(dirname "$0")/.."
OUTPUT_DIR=$(realpath -m "${1:-build/package}")
BUILD_DIR=$(realpath -m "${2:-build}")
scripts/install-deps.sh >&2
if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF -DKV_BENCHMARKS=OFF >&2
elif ! grep -qx 'CMAKE_INSTALL_PREFIX:PATH=/usr' "$BUILD_DIR/CMakeCache.txt"; then
  cmake -DCMAKE_INSTALL_PREFIX=/usr "$BUILD_DIR" >&2 # a build set up before the package was
fi
cmake --build "$BUILD_DIR" --parallel "$(nproc)" --target programs PackageDocs >&2
mkdir -p "$OUTPUT_DIR"
rm -f "$OUTPUT_DIR"/veltrum-reminder_*.deb
cpack --config "$BUILD_DIR/CPackConfig.cmake" -B "$OUTPUT_DIR" >&2
ls "$OUTPUT_DIR"/veltrum-reminder_*.deb
