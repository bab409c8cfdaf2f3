#!/usr/bin/env bash
# Configures and builds the module, the C++ tests and the benchmarks.
#   scripts/build.sh            -> build/      (optimised, with debug info)
#   scripts/build.sh --sanitize -> build-asan/ (AddressSanitizer + UBSan)
#   scripts/build.sh --tsan     -> build-tsan/ (ThreadSanitizer, the domain tests only)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="$root/build"
extra=()
if [ "${1:-}" = "--sanitize" ]; then
  dir="$root/build-asan"
  extra=(-DVELBO_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug)
elif [ "${1:-}" = "--tsan" ]; then
  dir="$root/build-tsan"
  extra=(-DVELBO_TSAN=ON)
fi
cmake -S "$root" -B "$dir" -DPython3_EXECUTABLE=/usr/bin/python3 "${extra[@]}" >/dev/null
cmake --build "$dir" -j"$(nproc)"
