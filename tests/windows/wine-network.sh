#!/usr/bin/env bash
# Sourced: a throwaway Wine prefix with a small network through Wine's UNC mapping
#   \\PC01\C$ and \\127.0.0.1\C$ -> $work/net/PC01 (with Outils\)
#   \\PC02\C$ and \\127.0.0.2\C$ -> $work/net/PC02 (without)
# The loopback addresses answer the ping.
# Sets work (Unix), VANTREL_TEST_WORK (Windows form of work) and wine.
work=$(mktemp -d)
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
export WINEPREFIX=$work/prefix WINEDEBUG=-all
wine=$(command -v wine || command -v wine64)
"$wine" wineboot -i >/dev/null 2>&1 || true

mkdir -p "$work/net/PC01/Outils" "$work/net/PC02"
# Each workstation by name and by its loopback address, which the ping answers.
for station in PC01:127.0.0.1 PC02:127.0.0.2; do
    for host in ${station%%:*} ${station#*:}; do
        mkdir -p "$WINEPREFIX/dosdevices/unc/$host"
        ln -s "$work/net/${station%%:*}" "$WINEPREFIX/dosdevices/unc/$host/C\$"
    done
done
export VANTREL_TEST_WORK='Z:'"${work//\//\\}"

