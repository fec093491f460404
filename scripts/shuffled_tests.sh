#!/usr/bin/env bash
# Runs every test program of a built test tree twice over in a shuffled
# order, once per seed (default 4242, 7 and 99): no test may lean on what ran
# before it. Usage: scripts/shuffled_tests.sh [BUILD] [SEED...]
set -uo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$here/build-debug}" && pwd)"
shift || true
seeds=("$@")
[ ${#seeds[@]} -gt 0 ] || seeds=(4242 7 99)
export RUVO_DATA="$build/data" SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
cd "$build"
failed=0
for seed in "${seeds[@]}"; do
  for t in tests/test_* tests/*/test_*; do
    [ -f "$t" ] && [ -x "$t" ] || continue
    log="$(mktemp)"
    if "$t" --gtest_brief=1 --gtest_repeat=2 --gtest_shuffle --gtest_random_seed="$seed" >"$log" 2>&1; then
      echo "ok   $(basename "$t") seed $seed"
    else
      echo "FAIL $(basename "$t") seed $seed"
      grep -E "FAILED|ERROR: |SUMMARY" "$log" | sort -u | head -20
      failed=1
    fi
    rm -f "$log"
  done
done
exit $failed
