#!/usr/bin/env bash
# Builds the game (Release), generates the sample data and starts it with the
# data tree as its working folder. Arguments are the game's own options.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/scripts/setup.sh"
cmake -S "$here" -B "$here/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DRUVO_TESTS=OFF -DRUVO_BENCH=OFF >/dev/null
cmake --build "$here/build" --target ruvo sample_data sample_disc
cd "$here/build/data"
exec "$here/build/ruvo" "$@"
