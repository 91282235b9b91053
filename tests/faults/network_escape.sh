#!/usr/bin/env bash
# The folder network: a destination that climbs with "..", or that names no share
# (an empty destination), is a missing path as on Windows, never a file written
# outside a share.
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
expect_summary "$work/err" "$work/out"
