#!/usr/bin/env bash
# Installs with apt-get those of the Debian packages named that are missing.
# Usage: scripts/ensure-packages.sh PACKAGE...
set -euo pipefail
missing=()
for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installation de : ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    # Another installation under way (unattended upgrades): wait for it, up to 10 min.
    wait_lock=(-o DPkg::Lock::Timeout=600)
    apt-get "${wait_lock[@]}" update -qq
    apt-get "${wait_lock[@]}" install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
