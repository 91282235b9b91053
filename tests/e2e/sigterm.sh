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
sleep 2 # the window is up and handles the signal
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || { echo "sortie $status au lieu de 0"; exit 1; }
expected="Lastfich 0Z:${home//\//\\}\\a.VTR"
line=$(grep '^Lastfich 0' "$home/Vantrel.INI" | tr -d '\r')
[ "$line" = "$expected" ] || { echo "attendu: $expected"; echo "obtenu:  $line"; exit 1; }
echo "1 passed, 0 failed"
