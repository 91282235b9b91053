#!/usr/bin/env bash
# Sourced: a throwaway Wine prefix with a small network through Wine's UNC mapping
#   \\PC01\C$ -> $work/net/PC01 (with Outils\)    \\PC02\C$ -> $work/net/PC02 (without)
# and a ping.bat first in PATH writing French transcripts (PC03: 100 % loss).
# Sets work (Unix), VANTREL_TEST_WORK (Windows form of work) and wine.
work=$(mktemp -d)
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
export WINEPREFIX=$work/prefix WINEDEBUG=-all
wine=$(command -v wine || command -v wine64)
"$wine" wineboot -i >/dev/null 2>&1 || true

mkdir -p "$work/net/PC01/Outils" "$work/net/PC02" "$WINEPREFIX/dosdevices/unc/PC01" \
    "$WINEPREFIX/dosdevices/unc/PC02" "$work/dbl"
ln -s "$work/net/PC01" "$WINEPREFIX/dosdevices/unc/PC01/C\$"
ln -s "$work/net/PC02" "$WINEPREFIX/dosdevices/unc/PC02/C\$"
printf '%b\r\n' '@echo off' \
    'if "%1"=="PC03" goto dead' \
    "echo Envoi d'une requ\xeate 'Ping'  %1 [10.0.0.1] avec 32 octets de donn\xe9es :" \
    'echo     Paquets : envoy\xe9s = 4, re\xe7us = 4, perdus = 0 (perte 0%%),' \
    'goto end' ':dead' \
    'echo     Paquets : envoy\xe9s = 4, re\xe7us = 0, perdus = 4 (perte 100%%),' ':end' \
    >"$work/dbl/ping.bat"
export WINEPATH='Z:'"${work//\//\\}"'\dbl'
export VANTREL_TEST_WORK='Z:'"${work//\//\\}"

