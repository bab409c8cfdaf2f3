#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test: the C++ unit tests and
# the Python module tests, in the normal build and in the sanitizer build, and
# the C++ tests of the domain build under ThreadSanitizer.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/install-deps.sh

run_pytest() {  # $1: directory holding velbomodeler.so; the rest: environment
  local moddir="$1"; shift
  env "$@" VELBO_MODULE_DIR="$moddir" /usr/bin/python3 -m pytest -q -p no:cacheprovider tests/python
}

echo "== normal build"
bash scripts/build.sh
(cd build && ctest --output-on-failure -j"$(nproc)")
run_pytest "$root/build/python"

echo "== sanitizer build (AddressSanitizer + UndefinedBehaviorSanitizer)"
bash scripts/build.sh --sanitize
(cd build-asan && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --output-on-failure -j"$(nproc)")
# The interpreter itself is not instrumented: the sanitizer runtime is preloaded
# (with the C++ runtime, so that its exception interceptor finds __cxa_throw).
# Leaks are checked too; what the interpreter and Boost.Python keep until exit
# is suppressed by tests/python/lsan.supp. The module's live-instance counters
# are checked by the tests themselves.
run_pytest "$root/build-asan/python" \
  LD_PRELOAD="$(g++ -print-file-name=libasan.so) $(g++ -print-file-name=libstdc++.so)" \
  ASAN_OPTIONS=detect_leaks=1:malloc_context_size=2:abort_on_error=1 \
  LSAN_OPTIONS=suppressions="$root/tests/python/lsan.supp":print_suppressions=0 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

echo "== thread sanitizer build (ThreadSanitizer, the tests of the domain build)"
bash scripts/build.sh --tsan
(cd build-tsan && TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure -j"$(nproc)")
echo "== all tests passed"
