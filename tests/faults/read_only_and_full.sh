#!/usr/bin/env bash
# A program folder that cannot be written, and a deployment on a full disk: no pass
# reuses an earlier pass's stamp or folder (a file replaced without its backup), and
# --enregistrer never leaves a deployment without its .VTR. As root, in a mount
# namespace of the test's own.
. "$(dirname "$0")/common.sh" "$1"
in_private_mounts
start_work

deployer "$demo/Demo.VTR"
expect "a first pass (exit 1)" '[ "$status" -eq 1 ]'
first_pass=$(ls -d "$home"/2*)

mount --bind "$home" "$home"
mount -o remount,bind,ro "$home"
deployer "$demo/Demo.VTR"
umount "$home"
expect "read-only program folder: exit 2" '[ "$status" -eq 2 ]'
expect "said in French" 'grep -q "Impossible de créer le dossier du déploiement" "$work/err"'
expect "no sweep, no copy: the first pass's backup alone" \
    '[ "$(ls "$outils" | tr "\n" " ")" = "outil.exe $(basename "$first_pass" | sed "s/^/outil.exe/") outil.ini " ]'
expect "the live file is the first pass's" 'grep -q "version 2" "$outils/outil.exe"'

full=$work/plein
mkdir "$full"
mount -t tmpfs -o size=32k tmpfs "$full"
cp "$demo/Demo.VTR" "$full/"
dd if=/dev/zero of="$full/remplissage" bs=4k 2>/dev/null || true
saved=$(md5sum <"$full/Demo.VTR")
deployer "$full/Demo.VTR" --enregistrer
after=$(md5sum <"$full/Demo.VTR")
umount "$full"
expect "save on a full disk: exit 2" '[ "$status" -eq 2 ]'
expect "the deployment keeps its .VTR, as it was" '[ "$after" = "$saved" ]'

# A program folder without room for the pass's copy of its source (8 Mo on 4 MiB):
# said once, before any workstation is touched; one error of the pass (exit 1), not a
# full disk on each workstation.
small=$work/petit
mkdir "$small"
mount -t tmpfs -o size=4m tmpfs "$small"
cp -a "$home"/. "$small"/
rm -rf "$small"/2*
head -c 8000000 /dev/zero >"$demo/Distrib/grand.bin"
printf '%s;\\C$\\Outils\r\n' "$(win "$demo/Distrib/grand.bin")" >"$work/grand.Rgl"
write_deployment "$work/grand.VTR" "$demo/Demo.LPO" "$work/grand.Rgl"
home=$small deployer "$work/grand.VTR"
journal_says=$(cat "$small"/2*/"Infos Déploiement.txt" | grep -c "^Pas assez de place" || true)
umount "$small"
expect "no room for the source's copy: exit 1" '[ "$status" -eq 1 ]'
expect "said once, what and where" \
    '[ "$(grep -c "Pas assez de place dans le dossier du programme pour la copie de la source : [0-4] Mo libres, 8 Mo nécessaires" "$work/err")" -eq 1 ]'
expect "and in the journal" '[ "$journal_says" -eq 1 ]'
expect "no full disk on the workstations: not done, for a later pass" \
    '! grep -q "Disque plein" "$work/out" "$work/err" && [ "$(grep -c ";Non fait$" "$work/out")" -eq 2 ]'
expect "no workstation touched" '[ ! -e "$outils/grand.bin" ] && ! ls -a "$outils" | grep -q vantrel-'
expect_summary "$work/err"
