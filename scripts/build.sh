#!/usr/bin/env bash
# Configures (once) and builds the reader, its tests and benchmarks into build/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUILL_BUILD_DIR:-$root/build}
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" -j"$(nproc)"
