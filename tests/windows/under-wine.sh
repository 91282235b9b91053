#!/usr/bin/env bash
# Runs one Windows test executable under Wine, in a throwaway prefix with a small
# network (wine-network.sh), and prints what it wrote (a QtTest's output does not
# reach the Unix stdout under Wine).
# Wine 8 may leave a process that ran a pass on a thread of its own hanging in its
# exit, after its last line is written: once the suite says it has finished, the
# process gets a few seconds to end, then its own totals give the verdict.
set -euo pipefail
exe=$(readlink -f "$1")
shift
. "$(dirname "$0")/wine-network.sh"

out=$work/out.txt
"$wine" "$exe" -o 'Z:'"${work//\//\\}"'\out.txt,txt' "$@" >/dev/null 2>&1 &
pid=$!
finished_since=
while kill -0 "$pid" 2>/dev/null; do
    if [ -z "$finished_since" ] && grep -q '^\*\*\*\*\*\*\*\*\* Finished testing' "$out" 2>/dev/null; then
        finished_since=$SECONDS
    fi
    if [ -n "$finished_since" ] && [ $((SECONDS - finished_since)) -ge 10 ]; then
        echo "(le processus ne se termine pas après ses tests : arrêté)" >&2
        kill "$pid" 2>/dev/null || true
        wineserver -k 2>/dev/null || true
        break
    fi
    sleep 0.5
done
status=0
wait "$pid" || status=$?
if [ -n "$finished_since" ] && [ "$status" -ne 0 ]; then
    # Ended by the kill above: the suite's own count decides.
    grep -qE '^Totals: [0-9]+ passed, 0 failed' "$out" && status=0 || status=1
fi
cat "$out" 2>/dev/null || echo "(aucune sortie de $exe)"
exit "$status"
