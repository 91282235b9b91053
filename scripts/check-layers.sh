#!/usr/bin/env bash
# Fails when an include points up the layers: each folder of src/ may include its own
# headers and those of the folders listed for it, nothing else; a suite of tests/ may
# include what the folder it tests may, and the test support.
#   views (mainwindow) -> logic (board, export, deploy, reach, documents, directory) -> core
#   -> platform interface; backends (posix, windows, qt, echo) implement the interface.
# Fails too when the files of one folder include each other in a circle, and when the
# logic or the platform interface includes a system header (<unistd.h>, <windows.h>):
# only the backends know the operating system.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

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
    [directory]="core platform"
    [mainwindow]="directory board export deploy reach documents core platform"
    [app]="mainwindow directory board export deploy reach documents core platform platform/qt"
)
# What knows nothing of the operating system.
portable=" platform core documents reach deploy export board directory "

failures=$(mktemp)
trap 'rm -f "$failures"' EXIT
fail() { echo "$1" | tee -a "$failures" >&2; }

# check FILE FOLDER PERMITTED: the includes of one file; prints "MODULE INCLUDED" for
# each header of its own folder, for the circle check.
check() {
    local file=$1 folder=$2 permitted=$3 name included target
    name=${file#"$root"/}
    while IFS= read -r included; do
        case $included in
        */*) target=$(dirname "$included") ;;
        *.moc) continue ;;
        *)
            echo "$(basename "${file%.*}") ${included%.h}"
            continue
            ;;
        esac
        case " $permitted " in
        *" $target "*) ;;
        *) fail "$name : inclut $included, hors des couches permises à $folder" ;;
        esac
    done < <(sed -n 's/^#include "\(.*\)"/\1/p' "$file")
    if [[ $portable == *" $folder "* ]] && grep -qE '^#include <[^>]*\.h>' "$file"; then
        fail "$name : inclut un en-tête du système ($(grep -oE '^#include <[^>]*\.h>' "$file" | head -1)) dans la logique"
    fi
}

for folder in "${!allowed[@]}"; do
    [ -d "$root/src/$folder" ] || continue
    edges=$(find "$root/src/$folder" -maxdepth 1 \( -name '*.cpp' -o -name '*.h' \) | sort |
        while IFS= read -r file; do check "$file" "$folder" "$folder ${allowed[$folder]}"; done)
    # A header of the folder that includes, through others, the one that includes it.
    if ! loop=$(awk '$1 != $2' <<<"$edges" | tsort 2>&1 >/dev/null); then
        fail "src/$folder : des fichiers s'incluent en cercle : $(grep -v 'input contains a loop' <<<"$loop" | sed 's/^tsort: //' | tr '\n' ' ')"
    fi
done

# A folder of src/ that no layer names would escape every rule.
while IFS= read -r dir; do
    folder=${dir#"$root"/src/}
    [ -n "${allowed[$folder]+set}" ] || fail "src/$folder : dossier sans couche déclarée"
done < <(find "$root/src" -mindepth 1 -type d -exec sh -c 'ls "$1"/*.cpp "$1"/*.h >/dev/null 2>&1' _ {} \; -print)

# The suites: a test of a folder reaches that folder, what it may include, and the
# support; the platform's suites reach every backend, the window's the Qt services.
while IFS= read -r file; do
    folder=$(dirname "${file#"$root"/tests/}")
    case $folder in
    support) permitted="support documents core platform" ;;
    windows) permitted="platform" ;;
    platform) permitted="support platform/posix platform/windows platform/qt platform/echo ${allowed[mainwindow]}" ;;
    mainwindow) permitted="support mainwindow platform/qt platform/posix ${allowed[mainwindow]}" ;;
    *)
        if [ -z "${allowed[$folder]+set}" ]; then
            fail "tests/$folder : ne correspond à aucun dossier de src/"
            continue
        fi
        permitted="support $folder ${allowed[$folder]}"
        ;;
    esac
    check "$file" "tests/$folder" "$permitted" >/dev/null
done < <(find "$root/tests" \( -name '*.cpp' -o -name '*.h' \) | sort)
[ ! -s "$failures" ]
