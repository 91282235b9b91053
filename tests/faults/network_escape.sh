#!/usr/bin/env bash
# The folder network: a destination that climbs with "..", that leads out through a
# link (the workstation's folder, a share or a destination folder), or that names no
# share (an empty destination), is a missing path as on Windows, never a file written
# outside a share. A name no Windows share takes is refused before anything is written.
. "$(dirname "$0")/common.sh" "$1"
start_work
source=$(win "$demo/Distrib/outil.ini")
check() { # ERROR DESTINATION...: every rule fails; the journal shows the last one's error
    local error=$1 count=$(($# - 1))
    shift
    rm -rf "$home"/2*
    local destination
    for destination; do printf '%s;%s\r\n' "$source" "$destination"; done >"$work/escape.Rgl"
    write_deployment "$work/escape.VTR" "$demo/Demo.LPO" "$work/escape.Rgl"
    deployer "$work/escape.VTR"
    expect "$error: every copy failed" 'grep -q "^localhost *;   0;$count/$count" "$work/out"'
    expect "$error: said in the journal" 'journals | grep -q "^localhost;.*;$error;"'
    expect "$error: nothing written outside the shares" \
        '[ -z "$(find "$work" -name outil.ini -not -path "$demo/Distrib/*")" ]'
}
check "Chemin d.accès introuvable" '\C$\..\..\..\..' '\..\..\..' '\C$\Outils\../../..'
check "Partage introuvable" ''
check "Nom refusé par Windows.*rien n'a été écrit" '\C$\Outils.' '\C$\CON' '\C$\a*b' '\C$\Outils \x'
mkdir -p "$work/ailleurs/C\$/Outils" "$work/ailleurs2/Outils" "$work/ailleurs3"
ln -s "$work/ailleurs" "$demo/reseau/lien-poste"
ln -s "$work/ailleurs2" "$demo/reseau/127.0.0.2/D\$"
ln -s "$work/ailleurs3" "$demo/reseau/localhost/C\$/Sortie"
printf 'lien-poste\r\n127.0.0.2\r\nlocalhost\r\n' >"$work/liens.LPO"
printf '%s;\\C$\\Outils\r\n%s;\\D$\\Outils\r\n%s;\\C$\\Sortie\r\n' "$source" "$source" "$source" >"$work/liens.Rgl"
write_deployment "$work/liens.VTR" "$work/liens.LPO" "$work/liens.Rgl"
printf '#!/bin/sh\necho "    Paquets : envoyés = 4, reçus = 4, perdus = 0 (perte 0%%),"\n' >"$work/ping-ok"
chmod +x "$work/ping-ok"
rm -rf "$home"/2*
VANTREL_PING=$work/ping-ok deployer "$work/liens.VTR"
expect "links out of the network: nothing written through them" \
    '[ -z "$(find "$work/ailleurs" "$work/ailleurs2" "$work/ailleurs3" -type f)" ]'
expect "links: refused as a missing path" '[ "$(journals | grep -c "Chemin d.accès introuvable")" -gt 0 ]'
expect_summary "$work/err" "$work/out"
