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
expect_summary "$work/err"
