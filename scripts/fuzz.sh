#!/usr/bin/env bash
# Long fuzz runs, on demand. Builds the fuzz targets with clang's libFuzzer in
# build-fuzz/ (the normal build stays on gcc) and runs each target for the
# given minutes, or for a given number of executions, starting from its seed
# corpus in fuzz/corpus/<target>. New inputs go to build-fuzz/corpus/<target>,
# findings (crashes, timeouts, leaks) to build-fuzz/findings/<target>.
#
#   bash scripts/fuzz.sh [MINUTES] [TARGET...]     e.g. bash scripts/fuzz.sh 10
#   FUZZ_RUNS=10000000 bash scripts/fuzz.sh 0 link_reply_parser
#
# Prints one line per target: executions, coverage (edges and features),
# corpus size and findings. Exits 1 when any target found something.
# A finding worth keeping goes into fuzz/corpus/<target>/ as fault-<name>, so
# the replay test runs it on every change from then on.
set -euo pipefail
cd "$(dirname "$0")/.."

minutes=${1:-10}
if [ "$minutes" -lt 1 ] && [ -z "${FUZZ_RUNS:-}" ]; then
  echo "fuzz: give at least 1 minute, or FUZZ_RUNS" >&2
  exit 2
fi
shift || true
all=(parameter_file_load parameter_file_check dictionary_table link_reply_parser virtual_ecu_request)
targets=("${@:-${all[@]}}")
build=${FUZZ_BUILD:-build-fuzz}

if ! command -v clang++ >/dev/null; then
  echo "fuzz: clang++ is needed (apt-get install clang libclang-rt-dev)" >&2
  exit 2
fi
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DMV_FUZZ=ON -DMV_BUILD_TESTS=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)" \
  --target "${targets[@]/#/fuzz_}" >/dev/null

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan.supp:print_suppressions=0}"

found=0
printf '%-22s %12s %8s %8s %8s %s\n' target executions seconds edges corpus findings
for t in "${targets[@]}"; do
  work="$build/corpus/$t"
  findings="$build/findings/$t"
  log="$build/fuzz-$t.log"
  mkdir -p "$work" "$findings"
  limit=(-max_total_time=$((minutes * 60)))
  if [ -n "${FUZZ_RUNS:-}" ]; then limit=(-runs="$FUZZ_RUNS"); fi
  status=0
  # Frames are short: long inputs only slow the protocol targets down.
  case "$t" in
    link_reply_parser | virtual_ecu_request) max_len=512 ;;
    *) max_len=4096 ;;
  esac
  "$build/bin/fuzz_$t" "$work" "fuzz/corpus/$t" "${limit[@]}" -max_len=$max_len -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/" >"$log" 2>&1 ||
    status=$?
  runs=$(sed -n 's/^Done \([0-9]*\) runs in.*/\1/p' "$log" | tail -1)
  secs=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -1)
  edges=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  size=$(find "$work" -type f | wc -l)
  # Crashes, timeouts, leaks and memory blow-ups are findings; a "slow unit"
  # (one input that took 10 s or more, e.g. while the machine was busy) is
  # only reported.
  count=$(find "$findings" -type f \( -name 'crash-*' -o -name 'timeout-*' -o -name 'leak-*' \
    -o -name 'oom-*' \) | wc -l)
  slow=$(find "$findings" -type f -name 'slow-unit-*' | wc -l)
  [ "$status" -ne 0 ] || [ "$count" -ne 0 ] && found=1
  printf '%-22s %12s %8s %8s %8s %s\n' "$t" "${runs:-?}" "${secs:-?}" "${edges:-?}" "$size" \
    "$count$([ "$status" -ne 0 ] && echo " (exit $status, see $log)")$([ "$slow" -ne 0 ] &&
      echo " ($slow slow unit(s) kept, not findings)")"
done
exit "$found"
