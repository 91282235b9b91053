#!/usr/bin/env bash
# Runs one Windows test executable under Wine, in a throwaway prefix with a small
# network (wine-network.sh), and prints what it wrote (a QtTest's output does not
# reach the Unix stdout under Wine).
set -euo pipefail
exe=$(readlink -f "$1")
shift
. "$(dirname "$0")/wine-network.sh"

out=$work/out.txt
status=0
"$wine" "$exe" -o 'Z:'"${work//\//\\}"'\out.txt,txt' "$@" >/dev/null 2>&1 || status=$?
cat "$out" 2>/dev/null || echo "(aucune sortie de $exe)"
exit "$status"
