#!/usr/bin/env bash
# Fails when an include points up the layers: each folder of src/ may include its own
# headers and those of the folders listed for it, nothing else.
#   views (mainwindow) -> logic (board, export, deploy, reach, documents) -> core
#   -> platform interface; backends (posix, windows, qt, echo) implement the interface.
set -euo pipefail
src=$(cd "$(dirname "$0")/../src" && pwd)

declare -A allowed=(
    [platform]="platform"
    [platform/echo]="platform"
    [platform/qt]="platform"
    [platform/posix]="platform platform/echo platform/qt"
    [platform/windows]="platform platform/echo platform/qt"
    [core]="platform"
    [documents]="core platform"
    [reach]="core platform"
    [deploy]="reach documents core platform"
    [export]="documents core platform"
    [board]="core platform"
    [mainwindow]="board export deploy reach documents core platform"
    [app]="mainwindow board export deploy reach documents core platform platform/qt"
)

status=0
while IFS= read -r file; do
    folder=$(dirname "${file#"$src"/}")
    if [ -z "${allowed[$folder]+set}" ]; then
        echo "$file : dossier sans couche déclarée ($folder)"
        status=1
        continue
    fi
    while IFS= read -r included; do
        case $included in
        */*) target=$(dirname "$included") ;;
        *) continue ;; # a header of the same folder
        esac
        [ "$target" = "$folder" ] && continue
        case " ${allowed[$folder]} " in
        *" $target "*) ;;
        *)
            echo "${file#"$src"/} : inclut $included, hors des couches permises à $folder"
            status=1
            ;;
        esac
    done < <(sed -n 's/^#include "\(.*\)"/\1/p' "$file")
done < <(find "$src" -name '*.cpp' -o -name '*.h' | sort)
exit $status
