# Sourced by a test that needs an Active Directory domain controller: Samba's, in the
# private namespace the test runs in (see private-network.sh), its own DNS for the
# domain, everything under one folder so that a second run starts from nothing.
#   samba_dc DIR ADDRESS [SHARE]   provisions ATELIER.TEST in DIR (a folder of its own,
#       empty), host dc1 at ADDRESS, adds what DIR/extra.ldif holds (if there) and a
#       share PARTAGE of the folder SHARE before the server starts; sets dc_pid, and
#       exports KRB5_CONFIG and KRB5CCNAME (an empty cache) for the domain.
#   dc_stop    ends the server and all its processes
#   dc_kinit   a ticket for Administrator
dc_realm=ATELIER.TEST
dc_password='Pa55-w0rd.Test'
samba_dc() {
    local dir=$1 address=$2 share=${3:-}
    mkdir -p "$dir"
    ip addr add "$address/8" dev lo
    # The client's caches and the server's sockets stay in this namespace.
    mkdir -p /run/samba
    mount -t tmpfs tmpfs /run/samba
    samba-tool domain provision --realm="$dc_realm" --domain=ATELIER --server-role=dc \
        --dns-backend=SAMBA_INTERNAL --adminpass="$dc_password" --host-name=dc1 \
        --host-ip="$address" --targetdir="$dir" --option="interfaces=$address" \
        --option="bind interfaces only=yes" >"$dir/provision.log" 2>&1 || {
        cat "$dir/provision.log"
        return 1
    }
    # The controller answers itself too; names are its DNS's.
    printf '127.0.0.1 localhost\n%s dc1.atelier.test dc1\n' "$address" >"$dir/hosts"
    printf 'nameserver %s\n' "$address" >"$dir/resolv.conf"
    mount --bind "$dir/hosts" /etc/hosts
    mount --bind "$dir/resolv.conf" /etc/resolv.conf
    # Its pid and logs in DIR; a writable share PARTAGE of the folder SHARE if given.
    sed -i "s|^\[global\]\$|[global]\n\tpid directory = $dir\n\tlog file = $dir/log.%m|" \
        "$dir/etc/smb.conf"
    if [ -n "$share" ]; then
        printf '[partage]\n\tpath = %s\n\tread only = no\n' "$share" >>"$dir/etc/smb.conf"
    fi
    if [ -f "$dir/extra.ldif" ]; then
        ldbadd -H "$dir/private/sam.ldb" "$dir/extra.ldif" >"$dir/ldbadd.log" 2>&1 || {
            cat "$dir/ldbadd.log"
            return 1
        }
    fi
    # A process group of its own: dc_stop ends the server and every process it forked.
    setsid samba -s "$dir/etc/smb.conf" --foreground --no-process-group >"$dir/samba.log" 2>&1 &
    dc_pid=$!
    export KRB5_CONFIG=$dir/private/krb5.conf KRB5CCNAME=FILE:$dir/ccache
    # Up when LDAP, SMB and Kerberos all answer.
    local tries
    for tries in $(seq 300); do
        if (exec 3<>"/dev/tcp/$address/389") 2>/dev/null &&
            (exec 3<>"/dev/tcp/$address/445") 2>/dev/null &&
            (exec 3<>"/dev/tcp/$address/88") 2>/dev/null; then
            return 0
        fi
        kill -0 "$dc_pid" 2>/dev/null || break
        sleep 0.2
    done
    echo "le contrôleur de domaine ne répond pas :"
    tail -n 30 "$dir/samba.log"
    return 1
}
dc_stop() {
    if [ -n "${dc_pid:-}" ]; then
        kill -TERM -- "-$dc_pid" 2>/dev/null || true
        while kill -0 -- "-$dc_pid" 2>/dev/null; do sleep 0.1; done
        dc_pid=
    fi
}
dc_kinit() {
    echo "$dc_password" | kinit "Administrator@$dc_realm" >/dev/null
}
