#!/usr/bin/env bash
# Builds everything and runs the whole test suite: Linux, the readers under libFuzzer,
# then Windows under Wine.
# Installs nothing (scripts/install-packages.sh does); arguments go to ctest.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/build.sh"
ctest --preset linux "$@"
"$here/scripts/fuzz.sh"
"$here/scripts/test-windows.sh"
