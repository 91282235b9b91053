#!/usr/bin/env bash
# The Windows installer under Wine, as an administrator pushes it: silent install for
# the current user, the shell's answer for a .VTR, the program opened through that
# association on a deployment, then a silent uninstall that leaves the pass folders.
# Usage: installer.sh SETUP.EXE ASSOC-CHECK.EXE
set -euo pipefail
setup=$(readlink -f "$1")
check=$(readlink -f "$2")
command -v Xvfb >/dev/null || { echo "SKIP: Xvfb absent"; exit 77; }
. "$(dirname "$0")/wine-network.sh"
xvfb_pid=
trap '[ -n "$xvfb_pid" ] && kill "$xvfb_pid"; wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$work/display")
. "$(dirname "$0")/../support/expect.sh"

status=0
"$wine" "$setup" /S >"$work/setup.log" 2>&1 || status=$?
wineserver -w || true
local_app=$("$wine" cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')
installed_win="$local_app\\Programs\\Vantrel"
installed=$("$wine" winepath -u "$installed_win" 2>/dev/null)
expect "silent install: exit 0" '[ "$status" -eq 0 ]'
expect "installed for the user, with help file and lights" \
    '[ -f "$installed/vantrel.exe" ] && [ -f "$installed/vantrelc.exe" ] && [ -f "$installed/_Vantrel.VTR" ] && [ -f "$installed/feu vert.bmp" ]'
expect "uninstaller" '[ -f "$installed/desinstaller.exe" ]'
expect "listed in the user's programs" \
    '"$wine" reg query "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vantrel" /v UninstallString 2>/dev/null | grep -q desinstaller.exe'
expect "Start menu shortcut" '[ -n "$(find "$WINEPREFIX/drive_c/users" -name Vantrel.lnk)" ]'

printf 'PC01\r\n' >"$work/Atelier.LPO"
printf '%s\\Atelier.LPO;\\C$\\Outils\r\n' "$VANTREL_TEST_WORK" >"$work/Atelier.Rgl"
printf 'LocListePostes:%s\\Atelier.LPO\r\nLocListeR\xe8gles:%s\\Atelier.Rgl\r\n' \
    "$VANTREL_TEST_WORK" "$VANTREL_TEST_WORK" >"$work/Atelier.VTR"
"$wine" "$check" find "$VANTREL_TEST_WORK\\Atelier.VTR" >"$work/find.out" 2>/dev/null || true
expect "FindExecutable names the installed program" \
    'tr -d "\r" <"$work/find.out" | grep -qix "$(printf "%s" "$installed_win" | sed "s/[\\\\]/\\\\\\\\/g")\\\\vantrel.exe"'
"$wine" "$check" open "$VANTREL_TEST_WORK\\Atelier.VTR" "Vantrel/    Atelier.VTR" >"$work/open.out" 2>/dev/null || true
expect "opened through the association with that deployment" \
    'tr -d "\r" <"$work/open.out" | grep -q "^Vantrel/    Atelier.VTR"'

# The operator's passes and settings beside the program survive a silent uninstall.
mkdir -p "$installed/20261207_143015"
printf 'journal\r\n' >"$installed/20261207_143015/Infos Déploiement.txt"
printf '[Vantrel]\r\n' >"$installed/Vantrel.INI"
status=0
"$wine" "$installed/desinstaller.exe" /S "_?=$installed_win" >/dev/null 2>&1 || status=$?
expect "silent uninstall: exit 0" '[ "$status" -eq 0 ]'
expect "program removed" '[ ! -e "$installed/vantrel.exe" ] && [ ! -e "$installed/platforms" ]'
expect "pass folders and settings kept" \
    '[ -f "$installed/20261207_143015/Infos Déploiement.txt" ] && [ -f "$installed/Vantrel.INI" ]'
"$wine" "$check" find "$VANTREL_TEST_WORK\\Atelier.VTR" >"$work/find2.out" 2>/dev/null || true
expect "association removed" '! grep -qi "vantrel.exe" "$work/find2.out"'
expect_summary "$work/setup.log" "$work/find.out" "$work/open.out"
