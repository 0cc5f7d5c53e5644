#!/usr/bin/env bash
# Builds the Windows programs (and assembles build/windows/dist) and the
# native core with its tests. Run tools/setup-debian.sh first on a new machine.
#   tools/build.sh [all|windows|native|programs]
# "programs" is the program folder alone, without the Windows-side tests.
set -euo pipefail
cd "$(dirname "$0")/.."

what="${1:-all}"
if [ "$what" = programs ]; then
  cmake --preset windows >/dev/null
  cmake --build --preset windows --target dist
fi
if [ "$what" = all ] || [ "$what" = windows ]; then
  cmake --preset windows >/dev/null
  cmake --build --preset windows
fi
if [ "$what" = all ] || [ "$what" = native ]; then
  cmake --preset native >/dev/null
  cmake --build --preset native
  cmake --preset tsan >/dev/null
  cmake --build --preset tsan
fi
