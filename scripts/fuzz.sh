#!/usr/bin/env bash
# Fuzzes the whole path of a received LAN datagram for the given number of
# seconds (default 60): with libFuzzer and AddressSanitizer in a clang build of
# its own (build-fuzz/, corpus in build-fuzz/corpus), or, where clang's
# libFuzzer is missing, with the deterministic mutation driver of build/.
set -euo pipefail
cd "$(dirname "$0")/.."
RUN_SECONDS=${1:-60}
export TZ=Asia/Jerusalem QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
LAUNCHER=()
command -v ccache >/dev/null && LAUNCHER=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

if command -v clang++ >/dev/null && compgen -G "/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a" >/dev/null; then
  cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DKV_LIBFUZZER=ON "${LAUNCHER[@]}" >/dev/null
  cmake --build build-fuzz -j2 --target fuzz_lan_libfuzzer
  mkdir -p build-fuzz/corpus
  # A valid datagram of each kind (after the sender field) to start from.
  printf 'UPD\tALL\t123456\tx\t051220261430\t2\t100\td\tTrue\t3\t2\tTrue\t5\t1\t0\t311220262359\tFalse\tdana\t' \
    >build-fuzz/corpus/upd
  printf 'DEL\t123456\t' >build-fuzz/corpus/del
  printf 'ACK\t4242\tgamma\t' >build-fuzz/corpus/ack
  printf 'WHL\t' >build-fuzz/corpus/whl
  printf 'IAM\tgamma\t' >build-fuzz/corpus/iam
  ASAN_OPTIONS=detect_leaks=0 build-fuzz/tests/bin/fuzz_lan_libfuzzer -max_total_time="$RUN_SECONDS" \
    -timeout=10 -print_final_stats=1 build-fuzz/corpus
else
  cmake --build build -j2 --target fuzz_lan_datagrams
  build/tests/bin/fuzz_lan_datagrams $((RUN_SECONDS * 300)) "$RANDOM"
fi
