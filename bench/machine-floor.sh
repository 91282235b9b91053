#!/usr/bin/env bash
# What this machine's kernel and Samba cost before the program does anything, the floor
# under two figures of pass-time.sh (not the program: minimal stand-ins for its parts):
#  - creating 100,000 files of a transcript's size, one after another, in /tmp and on
#    tmpfs (on ext4 it grows when many files were deleted within the last minute);
#  - 400,000 echo requests to 100,000 loopback addresses, and their replies;
#  - the CPU a Samba server spends on one connection that touches no file, and on the
#    program's pass of that one workstation (a 1 KiB copy over an existing file).
# Runs as root in private network and mount namespaces; needs a C++ compiler.
# Usage: bench/machine-floor.sh [PROGRAM]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
program=$(readlink -f "${1:-$here/build/bin/vantrel}")
if [ "${VANTREL_INSIDE:-}" != 1 ]; then
    if [ "$(id -u)" -ne 0 ] || ! unshare -n -m true 2>/dev/null; then
        echo "machine floor: skipped (needs root)"
        exit 0
    fi
    exec env VANTREL_INSIDE=1 unshare -n -m --propagation private bash "$0" "$@"
fi
. "$here/tests/support/samba-station.sh"
work=$(mktemp -d)
stations=()
trap 'end_stations; rm -rf "$work"' EXIT
ip link set lo up

cat >"$work/floor.cpp" <<'CPP'
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <netinet/ip_icmp.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

static double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

static int files(const char* folder, const char* kind) {
    const std::string text(400, 'x'); // a transcript is 300 to 500 bytes
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 100000; ++i) {
        const std::string path = std::string(folder) + "/ping" + std::to_string(i) + ".txt";
        const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd < 0 || write(fd, text.data(), text.size()) < 0 || close(fd) != 0) {
            return 1;
        }
    }
    std::printf("create 100,000 files of 400 bytes, %-22s %8.2f s\n", kind, seconds(start));
    return 0;
}

static int echoes() {
    const int fd = socket(AF_INET, SOCK_RAW | SOCK_NONBLOCK, IPPROTO_ICMP);
    const int size = 8 << 20;
    const unsigned blocked = ~(1u << ICMP_ECHOREPLY); // ICMP_FILTER: replies only
    setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &size, sizeof size);
    setsockopt(fd, SOL_RAW, 1, &blocked, sizeof blocked);
    unsigned char packet[sizeof(icmphdr) + 32] = {};
    unsigned char reply[1500];
    long replies = 0;
    const auto drain = [&] {
        while (recv(fd, reply, sizeof reply, 0) > 0) {
            ++replies;
        }
    };
    const auto start = std::chrono::steady_clock::now();
    for (int request = 0; request < 4; ++request) {
        for (unsigned host = 1; host <= 100000; ++host) {
            auto* header = reinterpret_cast<icmphdr*>(packet);
            header->type = ICMP_ECHO;
            header->checksum = 0;
            header->un.echo.sequence = htons(static_cast<uint16_t>(host));
            unsigned sum = 0;
            for (size_t i = 0; i < sizeof packet; i += 2) {
                sum += static_cast<unsigned>(packet[i] << 8 | packet[i + 1]);
            }
            sum = (sum & 0xffff) + (sum >> 16);
            header->checksum = htons(static_cast<uint16_t>(~(sum + (sum >> 16))));
            sockaddr_in to{};
            to.sin_family = AF_INET;
            to.sin_addr.s_addr = htonl(0x7f000000u | host);
            while (sendto(fd, packet, sizeof packet, 0, reinterpret_cast<sockaddr*>(&to),
                          sizeof to) < 0) {
                if (errno != EAGAIN && errno != ENOBUFS) {
                    return 1;
                }
                drain();
            }
            if (host % 64 == 0) {
                drain();
            }
        }
    }
    usleep(100000);
    drain();
    std::printf("%-56s %8.2f s   %ld replies\n", "400,000 loopback echoes (less 0.1 s)",
                seconds(start) - 0.1, replies);
    return 0;
}

int main(int argc, char** argv) {
    return argc == 4 ? files(argv[2], argv[3]) : echoes();
}
CPP
c++ -O2 -o "$work/floor" "$work/floor.cpp"
echo "# machine floor, $(nproc) cores, $(uptime | sed 's/.*load average/load average/')"
mkdir "$work/files" "$work/tmpfs"
"$work/floor" files "$work/files" "$(df --output=fstype "$work" | tail -1)"
mount -t tmpfs tmpfs "$work/tmpfs"
"$work/floor" files "$work/tmpfs" tmpfs
umount "$work/tmpfs"
"$work/floor"

if command -v smbd >/dev/null && command -v smbclient >/dev/null; then
    samba_station "$work/pc" 127.0.1.1 >/dev/null
    stations+=("$station_pid")
    # The server's children are reaped by it: their CPU lands in its own counts.
    ticks() { awk '{print $16 + $17}' "/proc/$station_pid/stat"; }
    # per_connection CAPTION COMMAND...: the server's CPU for one run of COMMAND, of 20.
    per_connection() {
        local caption=$1 before _
        shift
        before=$(ticks)
        for _ in $(seq 20); do "$@" >/dev/null 2>&1 || true; done
        sleep 0.5
        printf '%-56s %8s ms\n' "$caption" $((($(ticks) - before) * 1000 / $(getconf CLK_TCK) / 20))
    }
    per_connection "Samba server CPU per connection (smbclient -c exit)" \
        smbclient -N //127.0.1.1/PARTAGE -c exit
    if [ -x "$program" ]; then
        export HOME=$work/home
        mkdir -p "$HOME" "$work/programme"
        cp "$(dirname "$program")/_Vantrel.VTR" "$work/programme/"
        head -c 1K /dev/urandom >"$work/small.bin"
        win() { printf 'Z:%s' "${1//\//\\}"; }
        printf '%s\\small.bin;\\PARTAGE\r\n' "$(win "$work")" >"$work/one.Rgl"
        printf '127.0.1.1\r\n' >"$work/one.LPO"
        printf 'LocListePostes:%s\r\nLocListeR\xe8gles:%s\r\n' "$(win "$work/one.LPO")" \
            "$(win "$work/one.Rgl")" >"$work/one.VTR"
        per_connection "Samba server CPU per pass of the program, 1 x 1 KiB" \
            env VANTREL_HOME="$work/programme" VANTREL_RESEAU=smb "$program" --deployer "$work/one.VTR"
    fi
fi
