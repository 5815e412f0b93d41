#!/usr/bin/env bash
# The long run of the reception's random fault schedules (the test command
# runs seeds 1 to 200): COUNT schedules from seed FIRST, in JOBS processes at
# once (they mostly wait on timers, so more processes than cores is fine).
#   bash tools/reception-schedules.sh [COUNT [FIRST [JOBS]]]   (10000 1 16)
# Builds the test in build/ci first. Prints each part's summary and the total;
# exits non-zero if any schedule broke the invariant.
set -euo pipefail
cd "$(dirname "$0")/.."
count=${1:-10000}
first=${2:-1}
jobs=${3:-16}
cmake --preset ci >/dev/null
cmake --build --preset ci --target tst_reception_schedules >/dev/null
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
# A copy, so that a rebuild meanwhile does not touch the running program.
test_binary=$logs/tst_reception_schedules
cp build/ci/tests/board_driver/tst_reception_schedules "$test_binary"
per=$(( (count + jobs - 1) / jobs ))
start=$(date +%s)
pids=()
for (( part = 0; part < jobs; part++ )); do
  from=$(( first + part * per ))
  n=$(( count - part * per < per ? count - part * per : per ))
  (( n > 0 )) || break
  QTEST_FUNCTION_TIMEOUT=86400000 KZ_SCHEDULES="$from:$n" "$test_binary" >"$logs/$part.log" 2>&1 &
  pids+=($!)
done
status=0
for pid in "${pids[@]}"; do
  wait "$pid" || status=1
done
grep -h "schedules from seed" "$logs"/*.log | sed 's/.*randomSchedules() //' >"$logs/summaries"
cat "$logs/summaries"
grep -ho "seed [0-9]*: .*" "$logs"/*.log | sed 's/)$//' || true
awk -v secs=$(( $(date +%s) - start )) '
  { n += $1; exact += $9; failed += $12; cancelled += $16; broken += $18 }
  END { printf "total: %d schedules in %d s: %d blocks exact, %d receptions failed cleanly, %d cancelled; %d broken\n",
        n, secs, exact, failed, cancelled, broken }' "$logs/summaries"
exit $status
