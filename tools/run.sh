#!/usr/bin/env bash
# Installs what is missing, builds, and starts tarvix.exe under Wine: on
# $DISPLAY when there is one, otherwise on a virtual display, where it takes
# a screenshot and prints where it is.
#   tools/run.sh [--classic]
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/setup-debian.sh
# Only what it starts: the program folder, not the tests.
bash tools/build.sh programs

exec /usr/bin/python3 tools/start.py --dist build/windows/dist "$@"
