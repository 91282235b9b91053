#!/usr/bin/env bash
# Configures and builds the Linux program and its tests (preset "linux", in build/).
# Installs nothing: scripts/install-packages.sh does that.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset linux >/dev/null
cmake --build --preset linux
