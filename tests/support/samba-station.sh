# One Samba workstation on its own loopback address, for scripts that run inside a
# private network namespace. `samba_station DIR ADDRESS [PASSWORD]` writes DIR's
# smb.conf with a writable share PARTAGE and a read-only one LECTURE, starts its
# smbd and waits for port 445; it sets `station_pid`. Without a password guests
# are let in; with one, only root with that password.
samba_station() {
    local dir=$1 address=$2 password=${3:-} guest=yes map="Bad User"
    # The SMB client caches names in /run/samba for minutes: a run before this one,
    # with the same names on other addresses, must not send this one there.
    if [ -z "${samba_cache_private:-}" ]; then
        mkdir -p /run/samba && mount -t tmpfs tmpfs /run/samba
        samba_cache_private=1
    fi
    [ -n "$password" ] && guest=no map=Never
    ip addr add "$address/8" dev lo
    mkdir -p "$dir"/{state,lock,private,cache,pid,ncalrpc} "$dir/partage" "$dir/lecture"
    cat >"$dir/smb.conf" <<CONF
[global]
    interfaces = $address
    bind interfaces only = yes
    disable netbios = yes
    smb ports = 445
    server min protocol = SMB2_02
    state directory = $dir/state
    lock directory = $dir/lock
    private dir = $dir/private
    cache directory = $dir/cache
    pid directory = $dir/pid
    ncalrpc dir = $dir/ncalrpc
    log file = $dir/log
    usershare path =
    map to guest = $map
    load printers = no
    printing = bsd
    printcap name = /dev/null
    disable spoolss = yes
[PARTAGE]
    path = $dir/partage
    guest ok = $guest
    force user = root
    read only = no
[LECTURE]
    path = $dir/lecture
    guest ok = $guest
    force user = root
    read only = yes
CONF
    if [ -n "$password" ]; then
        printf '%s\n%s\n' "$password" "$password" | smbpasswd -c "$dir/smb.conf" -s -a root >/dev/null
    fi
    # Its own session: smbd signals its whole process group when it stops.
    setsid smbd --foreground --no-process-group -s "$dir/smb.conf" </dev/null >"$dir/out" 2>&1 &
    station_pid=$!
    local _
    for _ in $(seq 100); do
        (exec 3<>"/dev/tcp/$address/445") 2>/dev/null && return 0
        sleep 0.1
    done
    echo "smbd de $address ne répond pas"
    cat "$dir/out"
    return 1
}

# Ends the stations whose pids are in the array `stations`, stopped ones included.
end_stations() {
    local station
    for station in "${stations[@]}"; do
        kill -CONT -- "-$station" 2>/dev/null && kill -- "-$station" 2>/dev/null
    done
}
