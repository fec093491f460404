#!/usr/bin/env bash
# Soak run: the game (a Release build) played for a long time on the sample
# career by its seeded random player (RUVO_MONKEY), headless. Reports crashes
# (exit codes, signals, sanitizer reports) and memory growth (resident size
# each minute, its growth after the warm-up, the world's pool use), and exits
# non-zero on either.
#
#   scripts/soak.sh [-t SECONDS] [-s SEED] [-b BUILD_DIR] [-w WARMUP_SECONDS]
#                   [-g GROWTH_KB] [-i SAMPLE_SECONDS] [-k]
#
#   -t  how long to play (default 3600)
#   -s  the random player's seed (default: from the clock; always logged)
#   -b  the build whose ruvo and data tree run (default build-rel)
#   -w  warm-up before growth is measured (default a sixth of the run, at
#       most 600)
#   -g  the largest growth of the resident size after the warm-up, in kB
#       (default 32768)
#   -i  seconds between samples (default 60)
#   -k  keep the scratch folder (the game's data copy, debug.txt, stderr)
#
# A crash's stderr and debug.txt are kept as /tmp/ruvo-soak-crash-SEED.*;
# with a sanitizer build (-b build-debug) its stderr holds the stack. The
# sanitizer's quarantine of freed blocks is kept small (16 MB) so that it
# does not read as growth.
#
# The game runs in a scratch copy of the data tree, so that its career,
# checkpoint and settings files never touch the build's. A run that ends
# before the time with exit code 0 (the game left by its own road) is started
# again with the next seed and counted; any other end is a crash.
set -uo pipefail

here="$(cd "$(dirname "$0")/.." && pwd)"
duration=3600
seed=""
build="$here/build-rel"
warmup=""
bound=32768
interval=60
keep=0
while getopts "t:s:b:w:g:i:k" opt; do
  case "$opt" in
    t) duration="$OPTARG" ;;
    s) seed="$OPTARG" ;;
    b) build="$(cd "$OPTARG" && pwd)" ;;
    w) warmup="$OPTARG" ;;
    g) bound="$OPTARG" ;;
    i) interval="$OPTARG" ;;
    k) keep=1 ;;
    *) sed -n '2,20p' "$0"; exit 2 ;;
  esac
done
[ -n "$seed" ] || seed=$(( $(date +%s%N) % 1000000007 ))
if [ -z "$warmup" ]; then
  warmup=$(( duration / 6 ))
  [ "$warmup" -gt 600 ] && warmup=600
fi
game="$build/ruvo"
if [ ! -x "$game" ] || [ ! -d "$build/data/vek" ]; then
  echo "soak: no game or data tree in $build (build it first)" >&2
  exit 2
fi

scratch="$(mktemp -d /tmp/ruvo-soak.XXXXXX)"
cleanup() {
  [ -n "${pid:-}" ] && kill -0 "$pid" 2>/dev/null && kill -KILL "$pid" 2>/dev/null
  if [ "$keep" = 1 ]; then echo "soak: scratch kept in $scratch"; else rm -rf "$scratch"; fi
}
trap cleanup EXIT
trap 'echo "soak: interrupted"; exit 3' INT TERM
cp -r "$build/data" "$scratch/data"
# A copy of the program, so that a rebuild during the run changes nothing.
cp "$game" "$scratch/ruvo"
game="$scratch/ruvo"
mkdir -p "$scratch/windows" "$scratch/run"
chmod 700 "$scratch/run"

echo "soak: $(date -u +%FT%TZ) game $build/ruvo, ${duration}s, seed $seed, warm-up ${warmup}s, growth bound ${bound} kB"
echo "soak: scratch $scratch"

crashes=0
restarts=0
sanitizer=0
worst_growth=0
growth_fail=0
declare -A pool_peak pool_cap

rss_of() { awk '/^VmRSS:/ {print $2}' "/proc/$1/status" 2>/dev/null; }

# The pool peaks of the random player's last minute in debug.txt.
pools_now() { grep -a "monkey: minute" "$scratch/data/debug.txt" 2>/dev/null | tail -1 | sed 's/.*pool peaks //' | tr -d '\r'; }

note_pools() {
  local line="$1" name used cap
  set -- $line
  while [ $# -ge 2 ]; do
    name="$1"; used="${2%/*}"; cap="${2#*/}"; shift 2
    pool_cap[$name]="$cap"
    if [ -z "${pool_peak[$name]:-}" ] || [ "${pool_peak[$name]}" -lt "$used" ]; then pool_peak[$name]="$used"; fi
  done
}

start=$(date +%s)
end=$(( start + duration ))
run=0
while [ "$(date +%s)" -lt "$end" ]; do
  run=$(( run + 1 ))
  run_seed=$(( seed + run - 1 ))
  echo "soak: run $run, seed $run_seed"
  (
    cd "$scratch/data" || exit 2
    exec env RUVO_MONKEY="$run_seed" RUVO_WINDIR="$scratch/windows" XDG_RUNTIME_DIR="$scratch/run" \
      SDL_VIDEODRIVER="${SDL_VIDEODRIVER:-offscreen}" SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}" \
      ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:quarantine_size_mb=16}" "$game" -nologos
  ) > "$scratch/stdout.$run.txt" 2> "$scratch/stderr.$run.txt" &
  pid=$!
  run_start=$(date +%s)
  base_rss=""
  peak_rss=0
  next_sample=$(( run_start + interval ))
  ended_by_us=0
  while kill -0 "$pid" 2>/dev/null; do
    now=$(date +%s)
    if [ "$now" -ge "$end" ]; then
      kill -TERM "$pid" 2>/dev/null
      ended_by_us=1
      for _ in $(seq 1 60); do kill -0 "$pid" 2>/dev/null || break; sleep 0.5; done
      kill -0 "$pid" 2>/dev/null && { echo "soak: the game did not end on SIGTERM within 30 s: killed"; kill -KILL "$pid"; crashes=$(( crashes + 1 )); }
      break
    fi
    if [ "$now" -ge "$next_sample" ]; then
      next_sample=$(( next_sample + interval ))
      rss=$(rss_of "$pid")
      [ -z "$rss" ] && continue
      age=$(( now - run_start ))
      pools=$(pools_now)
      note_pools "$pools"
      growth=""
      if [ "$age" -ge "$warmup" ]; then
        [ -z "$base_rss" ] && base_rss="$rss"
        growth=$(( rss - base_rss ))
        [ "$growth" -gt "$worst_growth" ] && worst_growth="$growth"
      fi
      [ "$rss" -gt "$peak_rss" ] && peak_rss="$rss"
      echo "soak: $(date -u +%T) t+$(( now - start ))s run $run rss ${rss} kB${growth:+ growth ${growth} kB} | $pools"
    fi
    sleep 1
  done
  wait "$pid"
  code=$?
  pid=""
  if grep -aqE "AddressSanitizer|LeakSanitizer|UndefinedBehaviorSanitizer|runtime error:" "$scratch/stderr.$run.txt"; then
    sanitizer=$(( sanitizer + 1 ))
    echo "soak: run $run: sanitizer report:"
    grep -aE -A30 "AddressSanitizer|LeakSanitizer|runtime error:" "$scratch/stderr.$run.txt" | head -60
  fi
  if [ "$code" -ne 0 ]; then
    crashes=$(( crashes + 1 ))
    if [ "$code" -gt 128 ]; then why="signal $(( code - 128 )) ($(kill -l $(( code - 128 )) 2>/dev/null))"; else why="exit code $code"; fi
    echo "soak: run $run (seed $run_seed) CRASHED after $(( $(date +%s) - run_start ))s: $why"
    echo "soak: its stderr:"; tail -20 "$scratch/stderr.$run.txt"
    echo "soak: the end of its debug.txt:"; tr -d '\r' < "$scratch/data/debug.txt" | grep -av '^ *$' | tail -15
    cp "$scratch/stderr.$run.txt" "/tmp/ruvo-soak-crash-$run_seed.stderr" 2>/dev/null
    cp "$scratch/data/debug.txt" "/tmp/ruvo-soak-crash-$run_seed.debug.txt" 2>/dev/null
  elif [ "$ended_by_us" = 0 ]; then
    restarts=$(( restarts + 1 ))
    echo "soak: run $run ended by itself (exit code 0) after $(( $(date +%s) - run_start ))s: started again"
  fi
  if [ -n "$base_rss" ]; then
    echo "soak: run $run: resident size after warm-up ${base_rss} kB, peak ${peak_rss} kB"
  fi
done

if [ -f "$scratch/data/debug.txt" ]; then
  echo "soak: the random player's log (first and last minutes):"
  grep -a "monkey: minute\|monkey: random" "$scratch/data/debug.txt" | tr -d '\r' | sed -n '1,3p;$p'
  echo "soak: not built yet: $(grep -ac 'not built yet' "$scratch/data/debug.txt") lines"
fi
echo "soak: pool peaks:"
for name in "${!pool_peak[@]}"; do
  echo "  $name ${pool_peak[$name]}/${pool_cap[$name]}"
  [ "${pool_peak[$name]}" -ge "${pool_cap[$name]}" ] && { echo "soak: pool $name exhausted"; growth_fail=1; }
done
[ "$worst_growth" -gt "$bound" ] && growth_fail=1
echo "soak: REPORT seed $seed, $(( $(date +%s) - start ))s, runs $run, restarts $restarts, crashes $crashes, sanitizer reports $sanitizer, worst growth after warm-up ${worst_growth} kB (bound ${bound} kB)"
if [ "$crashes" -gt 0 ] || [ "$sanitizer" -gt 0 ] || [ "$growth_fail" = 1 ]; then
  echo "soak: FAILED"
  exit 1
fi
echo "soak: PASSED"
exit 0
