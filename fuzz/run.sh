#!/usr/bin/env bash
# Fuzzes every target (or the targets named after SECONDS) with libFuzzer for
# SECONDS each (default 60), starting from the same seeds the tests replay.
# Builds the targets and the sample data with clang into build-fuzz.
#   fuzz/run.sh [SECONDS] [TARGET...]     e.g. fuzz/run.sh 30 pcx whole_mission
set -euo pipefail
secs="${1:-60}"
shift || true
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/setup.sh"
b="${RUVO_FUZZ_BUILD:-$here/build-fuzz}"
CC=clang CXX=clang++ cmake -S "$here" -B "$b" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DRUVO_SANITIZE=ON -DRUVO_LIBFUZZER=ON -DRUVO_TESTS=ON -DRUVO_BENCH=OFF >/dev/null
# Only what fuzzing needs: the targets and the sample data of their seeds.
cmake --build "$b" --target fuzz_all
if [ $# -gt 0 ]; then
  targets=()
  for name in "$@"; do targets+=("$b/fuzz/fuzz_$name"); done
else
  targets=("$b"/fuzz/fuzz_*)
fi
# The sanitizers report and stop; libFuzzer keeps the input that did it.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
export SDL_VIDEODRIVER="${SDL_VIDEODRIVER:-offscreen}" SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}"
for exe in "${targets[@]}"; do
  [ -x "$exe" ] || { echo "no fuzz target $exe" >&2; exit 1; }
  name="$(basename "$exe")"; name="${name#fuzz_}"
  corpus="$b/fuzz-corpus/$name"; mkdir -p "$corpus"
  # libFuzzer only grows a corpus held in folders, so the seeds are copied in.
  [ -d "$here/fuzz/corpus/$name" ] && cp -r "$here/fuzz/corpus/$name/." "$corpus/"
  if [ -f "$here/fuzz/$name.seeds" ]; then
    while IFS= read -r line; do
      { [ -z "$line" ] || [[ "$line" == \#* ]]; } && continue
      for f in $b/$line; do [ -e "$f" ] && cp -r "$f" "$corpus/"; done
    done < "$here/fuzz/$name.seeds"
  fi
  echo "== $name for ${secs}s"
  (cd "$b" && "$exe" -max_total_time="$secs" -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$b/fuzz-found-$name-" \
    "$corpus")
done
