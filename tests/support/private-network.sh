# Sourced first by a script that needs a network of its own: runs that script again
# as root in private network and mount namespaces, or skips it (exit 77).
# Usage: . private-network.sh SCRIPT PROGRAM
if [ "${VANTREL_INSIDE:-}" != 1 ]; then
    if [ "$(id -u)" -ne 0 ] || ! unshare -n -m true 2>/dev/null; then
        echo "SKIP: il faut être root pour créer un réseau privé"
        exit 77
    fi
    exec env VANTREL_INSIDE=1 unshare -n -m --propagation private bash "$1" "$2"
fi
