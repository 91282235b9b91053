#!/usr/bin/env bash
# Configures and builds the Linux program, its tests and its Debian package (preset
# "linux", in build/).
# Installs nothing: scripts/install-packages.sh does that.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset linux >/dev/null
cmake --build --preset linux
cmake --build --preset linux --target package >/dev/null
