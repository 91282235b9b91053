#!/usr/bin/env bash
# A SIGTERM (session logout) is a close of the main window: the settings are written,
# with the command-line deployment as first recent entry, without its quotes.
set -euo pipefail
program=$1
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
cp "$(dirname "$program")/_Vantrel.VTR" "$home/"
printf 'LocListePostes:Z:%s\r\n' "${home//\//\\}\\a.LPO" >"$home/a.VTR"
printf 'PC01\r\n' >"$home/a.LPO"
printf 'Z:\\x;\\C$\r\n' >"$home/a.Rgl"
printf 'LocListePostes:Z:%s\r\nLocListeR\xe8gles:Z:%s\r\n' "${home//\//\\}\\a.LPO" "${home//\//\\}\\a.Rgl" >"$home/a.VTR"

QT_QPA_PLATFORM=offscreen VANTREL_HOME=$home "$program" "\"$home/a.VTR\"" >/dev/null 2>&1 &
pid=$!
trap 'kill -KILL "$pid" 2>/dev/null || true; rm -rf "$home"' EXIT
# Ready once the program catches SIGTERM (bit 15 of its caught-signal mask).
catches_term() {
    local mask
    mask=$(awk '/^SigCgt:/ { print $2 }' "/proc/$pid/status" 2>/dev/null) || return 1
    [ -n "$mask" ] && (( (16#$mask >> 14) & 1 ))
}
for _ in $(seq 200); do catches_term && break; sleep 0.05; done
catches_term || { echo "le programme n'intercepte pas SIGTERM"; exit 1; }
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || { echo "sortie $status au lieu de 0"; exit 1; }
expected="Lastfich 0Z:${home//\//\\}\\a.VTR"
line=$(grep '^Lastfich 0' "$home/Vantrel.INI" | tr -d '\r')
[ "$line" = "$expected" ] || { echo "attendu: $expected"; echo "obtenu:  $line"; exit 1; }
echo "1 passed, 0 failed"
