#!/usr/bin/env bash
# Fuzzes every target with libFuzzer for SECONDS each (default 60), starting
# from the same seeds the tests replay. Builds with clang into build-fuzz.
set -euo pipefail
secs="${1:-60}"
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/setup.sh"
b="$here/build-fuzz"
CC=clang CXX=clang++ cmake -S "$here" -B "$b" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DRUVO_SANITIZE=ON -DRUVO_LIBFUZZER=ON -DRUVO_TESTS=ON -DRUVO_BENCH=OFF >/dev/null
cmake --build "$b"
for exe in "$b"/fuzz/fuzz_*; do
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
  (cd "$b" && "$exe" -max_total_time="$secs" -timeout=10 -rss_limit_mb=2048 "$corpus")
done
