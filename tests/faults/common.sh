# What the fault and folder-network scripts share: a fresh demo network in a work folder,
# the program run unattended with a bound on time, and the checks (expect.sh).
# Usage from a script: . common.sh PROGRAM, then start_work.
set -euo pipefail
program=$(readlink -f "$1")
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$here/tests/support/expect.sh"

start_work() {
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    "$here/scripts/demo-network.sh" "$work/demo" "$(dirname "$program")" >/dev/null
    demo=$work/demo
    outils=$demo/reseau/localhost/C\$/Outils
    home=$demo/programme
}

# deployer ARGS...: one --deployer run on the demo network, never more than 60 s;
# its exit status in $status, its output in $work/out and $work/err.
deployer() {
    status=0
    VANTREL_HOME=$home VANTREL_RESEAU=$demo/reseau timeout 60 "$program" --deployer "$@" \
        >"$work/out" 2>"$work/err" || status=$?
}

# A Windows-form path for a path of this system (Z: is /).
win() { printf 'Z:%s' "${1//\//\\}"; }

# A deployment naming LIST as its workstation list and RULES as its rule file.
write_deployment() {
    printf 'LocListePostes:%s\r\nLocListeR\xe8gles:%s\r\n' "$(win "$2")" "$(win "$3")" >"$1"
}

# The journals of every pass, in UTF-8.
journals() { for j in "$home"/2*/"Infos Déploiement.txt"; do iconv -f WINDOWS-1252 -t UTF-8 "$j"; done; }

# Runs this script again as root in a mount namespace of its own (and a network
# namespace too with "-n"), or skips it.
in_private_mounts() {
    [ "${VANTREL_FAULTS_INSIDE:-}" = 1 ] && return 0
    if [ "$(id -u)" -ne 0 ] || ! unshare -m "$@" true 2>/dev/null; then
        echo "SKIP: il faut être root pour monter des systèmes de fichiers et créer des réseaux"
        exit 77
    fi
    exec env VANTREL_FAULTS_INSIDE=1 unshare -m "$@" --propagation private bash "$0" "$program"
}
