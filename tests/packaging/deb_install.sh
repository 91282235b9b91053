#!/usr/bin/env bash
# The Debian package as an administrator meets it: apt-get installs it with what it
# needs; a user who is not root deploys to a folder network, the program keeping its
# settings and pass folders in the user's ~/.local/share/vantrel; the desktop opens
# a .VTR with the program. The package is removed again at the end.
set -euo pipefail
deb=$(ls "$1"/vantrel_*.deb 2>/dev/null | head -1)
[ -n "$deb" ] || { echo "aucun paquet dans $1 : cmake --build --preset linux --target package"; exit 1; }
here=$(cd "$(dirname "$0")/../.." && pwd)
if [ "$(id -u)" -ne 0 ] || ! command -v apt-get >/dev/null; then
    echo "SKIP: installer un paquet demande d'être root sur Debian"
    exit 77
fi
if dpkg-query -W -f='${Status}' vantrel 2>/dev/null | grep -q 'install ok installed'; then
    echo "SKIP: un paquet vantrel est déjà installé sur cette machine"
    exit 77
fi
user=vantrel-essai
work=$(mktemp -d)
chmod 755 "$work"
cleanup() {
    apt-get remove -y -qq vantrel >/dev/null 2>&1 || true
    userdel -r "$user" >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT
. "$here/tests/support/expect.sh"

export DEBIAN_FRONTEND=noninteractive
# apt reads the package as its own user, who may not reach the build tree.
cp "$deb" "$work/"
deb=$work/$(basename "$deb")
apt-get install -y -qq "$deb" >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; exit 1; }
expect "installed: program, ping stand-in, help file and lights together" \
    '[ -x /usr/lib/vantrel/vantrel ] && [ -x /usr/lib/vantrel/vantrel-ping ] && [ -f /usr/lib/vantrel/_Vantrel.VTR ] && [ -f "/usr/lib/vantrel/feu vert.bmp" ]'
expect "on the PATH" '[ "$(command -v vantrel)" = /usr/bin/vantrel ]'
expect "manual page" 'zcat /usr/share/man/man1/vantrel.1.gz | grep -q "^.BI \\\\-\\\\-deployer"'

useradd -m -d "$work/home" -s /bin/bash "$user"
"$here/scripts/demo-network.sh" "$work/demo" /usr/lib/vantrel
chown -R "$user:" "$work/demo"
as_user() { runuser -u "$user" -- env -i HOME="$work/home" PATH=/usr/bin:/bin "$@"; }

status=0
as_user VANTREL_RESEAU="$work/demo/reseau" vantrel --deployer "$work/demo/Demo.VTR" \
    >"$work/out" 2>"$work/err" || status=$?
data=$work/home/.local/share/vantrel
expect "a pass as a user: errors of the demo remain, exit 1" '[ "$status" -eq 1 ]'
expect "the sweep ran unprivileged: localhost answered" 'grep -q "^localhost         ;   0;0/2" "$work/out"'
expect "copied, older version kept" 'grep -q "version 2" "$work/demo/reseau/localhost/C\$/Outils/outil.exe" && ls "$work/demo/reseau/localhost/C\$/Outils" | grep -q "outil.exe2"'
expect "program folder in the user's data, with its companions" \
    '[ -f "$data/_Vantrel.VTR" ] && [ -f "$data/feu rouge.bmp" ] && ls "$data"/2*/"Infos D"*.txt >/dev/null'
mkdir -p "$work/root-home"
env -i HOME="$work/root-home" PATH=/usr/bin:/bin VANTREL_RESEAU="$work/demo/reseau" \
    vantrel --historique "$work/demo/Demo.VTR" >/dev/null 2>&1 || true
expect "nothing written beside the installed program, not even by root" \
    '[ "$(ls /usr/lib/vantrel | wc -l)" -eq 6 ] && ls "$work/root-home/.local/share/vantrel"/2* >/dev/null'

expect ".VTR is the program's file type" \
    'grep -qx "50:application/x-vantrel-deploiement:\*.vtr" /usr/share/mime/globs2'
expect "the desktop opens it with the program" \
    '[ "$(as_user XDG_DATA_DIRS=/usr/share xdg-mime query default application/x-vantrel-deploiement)" = vantrel.desktop ]'

apt-get remove -y -qq vantrel >/dev/null 2>&1
expect "removed: the program goes, the user's deployments and passes stay" \
    '[ ! -e /usr/lib/vantrel ] && [ ! -e /usr/bin/vantrel ] && ls "$data"/2* >/dev/null'
expect_summary "$work/err"
