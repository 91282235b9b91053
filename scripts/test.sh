#!/usr/bin/env bash
# Builds everything and runs the whole test suite.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$here/build}
"$here/scripts/setup.sh" "$build"
cd "$build"
ctest --output-on-failure "$@"
"$here/scripts/test-windows.sh"
