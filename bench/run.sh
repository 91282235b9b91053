#!/usr/bin/env bash
# Builds and runs the benchmark, then measures the SMB copy against smbclient's put on
# a Samba server inside a private network namespace (as root). Prints one table.
# Usage: bench/run.sh [--quick]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$here/build
"$here/scripts/build.sh" >/dev/null
cmake --build "$build" --target vantrel-bench >/dev/null
bench=$build/bin/vantrel-bench

echo "# $(date -u +%Y-%m-%d) on $(nproc) cores, $(free -g | awk '/Mem:/{print $2}') GiB, $(uname -r)"
"$bench" "$@" 2>/dev/null
for part in load pass; do
    "$bench" peak "$part" 2>/dev/null | grep '^peak'
done

"$here/bench/sweep.sh" "$build/bin/vantrel" "$@"
"$here/bench/pass-time.sh" "$build/bin/vantrel" "$@"
[ "${1:-}" = --quick ] || "$here/bench/machine-floor.sh" "$build/bin/vantrel"

# SMB: one 256 MiB file, five times each way, on a share of this machine.
if [ "$(id -u)" -ne 0 ] || ! command -v smbd >/dev/null; then
    echo "smb copy: skipped (needs root and samba)"
    exit 0
fi
unshare -n -m --propagation private bash "$here/bench/smb.sh" "$bench" "$build/bin/vantrel"
