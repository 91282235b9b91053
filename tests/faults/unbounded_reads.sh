#!/usr/bin/env bash
# Documents that never end, block, or would fill memory: a device, a FIFO, a file
# beyond the size limit, as the deployment, as its workstation list, as a rule's
# source, as the SMB authentication file; a path of millions of folders. Each gets a
# French answer at once and nothing else is touched.
. "$(dirname "$0")/common.sh" "$1"
start_work
mkfifo "$work/fifo" "$work/fifo.VTR"
ln -s /dev/zero "$work/zero.VTR"
truncate -s 65M "$work/huge.LPO"
rules=$demo/Demo.Rgl

deployer "$work/zero.VTR"
expect "deployment /dev/zero refused (exit 2)" '[ "$status" -eq 2 ]'
deployer "$work/fifo.VTR"
expect "deployment FIFO refused, no wait (exit 2)" '[ "$status" -eq 2 ]'
for list in /dev/zero "$work/fifo" "$work/huge.LPO"; do
    write_deployment "$work/bad.VTR" "$list" "$rules"
    deployer "$work/bad.VTR"
    expect "workstation list $list refused (exit 2)" '[ "$status" -eq 2 ] && [ -s "$work/err" ]'
done
expect "no pass made of them" '! ls -d "$home"/2* 2>/dev/null'
expect "no workstation touched" 'grep -q "version 1" "$outils/outil.exe" && [ "$(ls "$outils")" = outil.exe ]'

printf '%s;\\C$\\Outils\r\n' "$(win /dev/zero)" >"$work/zero.Rgl"
write_deployment "$work/zerosource.VTR" "$demo/Demo.LPO" "$work/zero.Rgl"
deployer "$work/zerosource.VTR"
expect "a device as a rule's source: a copy error (exit 1)" '[ "$status" -eq 1 ]'
expect "said in French in the journal" 'journals | grep -q "Ce nom ne désigne pas un fichier ordinaire"'
expect "nothing written in its place" '[ ! -e "$outils/zero" ] && ! ls "$outils" | grep -q vantrel-'

# A rule whose source path has twenty thousand folders: refused as too long, at once;
# a deployment whose rule file's path has five million: refused before anything runs.
{
    printf 'Z:'
    head -c 20000 /dev/zero | tr '\0' 'a' | sed 's/a/\\a/g'
    printf '\\outil.exe;\\C$\\Outils\r\n'
} >"$work/long.Rgl"
write_deployment "$work/long.VTR" "$demo/Demo.LPO" "$work/long.Rgl"
SECONDS=0
deployer "$work/long.VTR"
expect "a path of 40,000 characters: a copy error (exit 1), within seconds" '[ "$status" -eq 1 ] && [ "$SECONDS" -lt 30 ]'
expect "said too long" '[ "$(journals | grep -c "Chemin trop long")" -gt 0 ]'
rm -rf "$home"/2*
printf 'LocListePostes:Z:\\nulle\\part.LPO\r\nLocListeR\xe8gles:Z:' >"$work/long.VTR"
head -c 10000000 /dev/zero | tr '\0' 'a' | sed 's/a/\\a/g' >>"$work/long.VTR"
SECONDS=0
deployer "$work/long.VTR"
expect "five million folders in a deployment: exit 2 at once" '[ "$status" -eq 2 ] && [ "$SECONDS" -lt 10 ]'

# Documents within the size limit that would take gigabytes as lines: refused, and said.
awk 'BEGIN { for (i = 0; i < 33000000; i++) printf "\r\n" }' >"$work/vides.LPO"
awk 'BEGIN { for (i = 0; i < 22000000; i++) printf ";\r\n" }' >"$work/points-virgules.Rgl"
for document in "$work/vides.LPO" "$work/points-virgules.Rgl"; do
    case $document in
    *.LPO) write_deployment "$work/lourd.VTR" "$document" "$demo/Demo.Rgl" ;;
    *) write_deployment "$work/lourd.VTR" "$demo/Demo.LPO" "$document" ;;
    esac
    deployer "$work/lourd.VTR"
    expect "$(basename "$document"): exit 2, the reason said" \
        '[ "$status" -eq 2 ] && grep -qE "Trop de lignes|Fichier trop volumineux" "$work/err"'
done

# The authentication file a FIFO: refused without waiting for a writer.
rm -rf "$home"/2*
SECONDS=0
status=0
VANTREL_HOME=$home VANTREL_SMB_AUTH=$work/fifo timeout 60 "$program" --deployer "$demo/Demo.VTR" \
    >"$work/out" 2>"$work/err" || status=$?
expect "authentication FIFO: the pass ends (exit 1), within seconds" '[ "$status" -eq 1 ] && [ "$SECONDS" -lt 40 ]'
expect_summary "$work/err" "$work/out"
