#!/usr/bin/env bash
# Installs what the project needs, builds it twice (plain, and with
# AddressSanitizer + UndefinedBehaviorSanitizer) and runs every test in both.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

jobs=$(nproc 2>/dev/null || echo 2)
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan.supp:print_suppressions=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

run_suite() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -G Ninja "$@"
  cmake --build "$dir" -j "$jobs"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

echo "== plain build =="
run_suite build -DCMAKE_BUILD_TYPE=RelWithDebInfo
echo "== sanitizer build =="
run_suite build-sanitize -DCMAKE_BUILD_TYPE=Debug -DMV_SANITIZE=ON
