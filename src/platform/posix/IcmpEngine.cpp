#include "platform/echo/IcmpEngine.h"

#include "platform/echo/EchoQueue.h"
#include "platform/echo/NameResolutions.h"
#include "platform/echo/PingTranscript.h"

#include <QFile>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/icmp6.h>
#include <netinet/ip.h>
#include <netinet/ip_icmp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <deque>
#include <thread>
#include <unordered_map>

namespace vantrel {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr milliseconds kInterval{PingTranscript::kSpacingMs};
constexpr milliseconds kLastReplyWait{PingTranscript::kLastReplyWaitMs};
constexpr int kSocketBufferBytes = 8 << 20;
constexpr size_t kPayloadBytes = 32; // as Windows' ping
// Workstations whose first request goes in one round of the engine, between which the
// later requests of those under way go out on time.
constexpr int kStartsPerRound = 256;

// What an echo request carries, to find its workstation and time it on return.
struct Payload {
    uint32_t target;
    uint32_t request;
    int64_t sentNs;
};
static_assert(sizeof(Payload) <= kPayloadBytes);

int64_t nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
        .count();
}

uint16_t checksum(const uint8_t* data, size_t size) {
    uint32_t sum = 0;
    for (size_t i = 0; i + 1 < size; i += 2) {
        sum += static_cast<uint32_t>(data[i] << 8 | data[i + 1]);
    }
    if (size % 2 != 0) {
        sum += static_cast<uint32_t>(data[size - 1] << 8);
    }
    while (sum >> 16 != 0) {
        sum = (sum & 0xffff) + (sum >> 16);
    }
    return htons(static_cast<uint16_t>(~sum));
}

bool writeFile(const std::string& path, const std::string& text) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        return false;
    }
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno != EINTR) {
            break;
        }
        done += n > 0 ? static_cast<size_t>(n) : 0;
    }
    return ::close(fd) == 0 && done == text.size();
}

struct Target {
    std::string host;
    std::string output;
    uint64_t number = 0; // its queue's
    bool named = false;  // its address is known
    HostAddress address;
    Clock::time_point start;
    int sent = 0;
    std::array<bool, PingTranscript::kRequests> answered{};
    std::vector<PingTranscript::Reply> replies;
};

// One echo socket: an ICMP datagram socket where the system allows one, else a raw
// socket (as root), which sees every echo reply: ours carry our identifier.
struct EchoSocket {
    int fd = -1;
    bool raw = false;
    bool v6 = false;

    bool open(bool ipv6) {
        v6 = ipv6;
        const int family = v6 ? AF_INET6 : AF_INET;
        const int protocol = v6 ? int{IPPROTO_ICMPV6} : int{IPPROTO_ICMP};
        fd = ::socket(family, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, protocol);
        if (fd < 0) {
            fd = ::socket(family, SOCK_RAW | SOCK_NONBLOCK | SOCK_CLOEXEC, protocol);
            raw = true;
        }
        if (fd < 0) {
            return false;
        }
        const int size = kSocketBufferBytes;
        const int on = 1;
        if (::setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &size, sizeof size) != 0) {
            ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
        }
        if (v6) {
            ::setsockopt(fd, IPPROTO_IPV6, IPV6_RECVHOPLIMIT, &on, sizeof on);
        } else {
            ::setsockopt(fd, IPPROTO_IP, IP_RECVTTL, &on, sizeof on);
        }
        if (raw) {
            onlyEchoReplies();
        }
        return true;
    }
    // A raw socket is handed every ICMP message of the machine, our own requests
    // too when they go to it (127.x): the kernel drops all but echo replies first,
    // which halves the work of a large sweep.
    void onlyEchoReplies() const {
        if (v6) {
            icmp6_filter filter{};
            ICMP6_FILTER_SETBLOCKALL(&filter);
            ICMP6_FILTER_SETPASS(ICMP6_ECHO_REPLY, &filter);
            ::setsockopt(fd, IPPROTO_ICMPV6, ICMP6_FILTER, &filter, sizeof filter);
            return;
        }
        // ICMP_FILTER of <linux/icmp.h>, which clashes with <netinet/ip_icmp.h>: the
        // types whose bit is set are dropped.
        constexpr int kIcmpFilter = 1;
        const uint32_t blocked = ~(uint32_t{1} << ICMP_ECHOREPLY);
        ::setsockopt(fd, SOL_RAW, kIcmpFilter, &blocked, sizeof blocked);
    }
    ~EchoSocket() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
};

} // namespace

struct IcmpEngine::Worker {
    EchoSocket ipv4;
    EchoSocket ipv6; // closed where the system has no IPv6
    uint16_t identifier = static_cast<uint16_t>(::getpid());
    int wake = -1;
    std::unique_ptr<EchoQueue> queue;
    std::unique_ptr<NameResolutions> names;
    std::thread thread;

    // The engine thread's own.
    std::unordered_map<uint32_t, Target> targets;
    uint32_t nextTarget = 0;
    std::vector<EchoQueue::Asked> asked;
    // By request due next, each in the order of its first request: that of a workstation
    // goes when it comes in, each other one this long after the one before it.
    std::array<std::deque<uint32_t>, PingTranscript::kRequests> awaiting;
    std::deque<uint32_t> finishing; // every request sent, by first request

    ~Worker() {
        if (queue) {
            queue->stop();
        }
        if (thread.joinable()) {
            thread.join();
        }
        names.reset(); // before its wake-up handle goes
        queue.reset();
        ::close(wake);
    }

    void run() {
        for (;;) {
            bool finishNow = false;
            if (!takeIncoming(finishNow)) {
                return;
            }
            const Clock::time_point now = Clock::now();
            takeAnswers(now);
            if (finishNow) {
                receive();
                finishAll();
                continue;
            }
            sendDueRequests(now);
            receive();
            finish(Clock::now());
            queue->handOver();
            waitForWork();
        }
    }

    bool takeIncoming(bool& finishNow) {
        if (!queue->take(asked, finishNow)) {
            return false;
        }
        const Clock::time_point now = Clock::now();
        for (EchoQueue::Asked& one : asked) {
            const uint32_t key = nextTarget++;
            Target& target = targets[key];
            target.host = std::move(one.host);
            target.output = std::move(one.output);
            target.number = one.number;
            target.start = now;
            if (HostAddresses::literal(target.host, target.address)) {
                target.named = true;
                awaiting[0].push_back(key);
                continue;
            }
            names->ask(key, target.host);
        }
        return true;
    }

    void takeAnswers(Clock::time_point now) {
        names->deliverAnswers(
            targets, now,
            [this](const Target& target) {
                queue->deliver(target.number, target.output,
                               PingTranscript::hostNotFound(target.host));
            },
            [this](uint32_t key) { awaiting[0].push_back(key); });
    }

    // When the next request of index request (1 and up) is due.
    Clock::time_point due(size_t request) const {
        return targets.at(awaiting[request].front()).start + kInterval * static_cast<int>(request);
    }

    // The later requests of the workstations under way first, so that theirs keep their
    // spacing and their transcripts get written while the others' requests go; then
    // the first request of at most kStartsPerRound workstations. A sweep of 100,000
    // thus writes transcripts from its first 0.3 s on, not all at its end.
    void sendDueRequests(Clock::time_point now) {
        int sinceDrain = 0;
        const auto drain = [&] {
            if (++sinceDrain == 64) {
                receive(); // replies come back as fast as requests go out
                sinceDrain = 0;
            }
        };
        for (size_t request = PingTranscript::kRequests - 1; request > 0; --request) {
            std::deque<uint32_t>& line = awaiting[request];
            while (!line.empty() && due(request) <= now) {
                send(line.front(), targets.at(line.front()));
                (request + 1 < PingTranscript::kRequests ? awaiting[request + 1] : finishing)
                    .push_back(line.front());
                line.pop_front();
                drain();
            }
        }
        const Clock::time_point start = Clock::now();
        for (int started = 0; started < kStartsPerRound && !awaiting[0].empty(); ++started) {
            Target& target = targets.at(awaiting[0].front());
            target.start = start;
            send(awaiting[0].front(), target);
            awaiting[1].push_back(awaiting[0].front());
            awaiting[0].pop_front();
            drain();
        }
    }

    void send(uint32_t key, Target& target) {
        const EchoSocket& out = target.address.v6 ? ipv6 : ipv4;
        // The echo header is the same for both: type, code, checksum, id, sequence.
        std::array<uint8_t, sizeof(icmphdr) + kPayloadBytes> packet{};
        auto* header = reinterpret_cast<icmphdr*>(packet.data());
        header->type = target.address.v6 ? ICMP6_ECHO_REQUEST : ICMP_ECHO;
        header->un.echo.id = htons(identifier);
        header->un.echo.sequence = htons(static_cast<uint16_t>(key * 4 + target.sent));
        const Payload payload{key, static_cast<uint32_t>(target.sent), nowNs()};
        std::memcpy(packet.data() + sizeof(icmphdr), &payload, sizeof payload);
        if (!target.address.v6) { // the kernel sums ICMPv6 itself
            header->checksum = checksum(packet.data(), packet.size());
        }
        sockaddr_storage to{};
        socklen_t length = 0;
        if (target.address.v6) {
            auto* v6 = reinterpret_cast<sockaddr_in6*>(&to);
            v6->sin6_family = AF_INET6;
            std::memcpy(&v6->sin6_addr, target.address.bytes.data(), 16);
            length = sizeof(sockaddr_in6);
        } else {
            auto* v4 = reinterpret_cast<sockaddr_in*>(&to);
            v4->sin_family = AF_INET;
            std::memcpy(&v4->sin_addr, target.address.bytes.data(), 4);
            length = sizeof(sockaddr_in);
        }
        ++target.sent; // an unreachable route is a request that gets no reply
        for (int attempt = 0; out.fd >= 0 && attempt < 100; ++attempt) {
            if (::sendto(out.fd, packet.data(), packet.size(), 0,
                         reinterpret_cast<const sockaddr*>(&to), length) >= 0 ||
                (errno != EAGAIN && errno != ENOBUFS && errno != EINTR)) {
                return;
            }
            receive();
            pollfd ready{out.fd, POLLOUT, 0};
            ::poll(&ready, 1, 10);
        }
    }

    void receive() {
        receiveOn(ipv4);
        receiveOn(ipv6);
    }

    void receiveOn(const EchoSocket& in) {
        std::array<uint8_t, 1500> buffer{};
        std::array<char, 64> control{};
        while (in.fd >= 0) {
            sockaddr_storage from{};
            iovec io{buffer.data(), buffer.size()};
            msghdr message{};
            message.msg_name = &from;
            message.msg_namelen = sizeof from;
            message.msg_iov = &io;
            message.msg_iovlen = 1;
            message.msg_control = control.data();
            message.msg_controllen = control.size();
            const ssize_t n = ::recvmsg(in.fd, &message, MSG_DONTWAIT);
            if (n < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return;
            }
            const int64_t arrivedNs = nowNs();
            // A raw IPv4 socket hands the IP header too, which holds the TTL; the others
            // give it, or the IPv6 hop limit, beside the message.
            size_t offset = 0;
            int ttl = 0;
            if (in.raw && !in.v6) {
                offset = static_cast<size_t>(buffer[0] & 0x0f) * 4;
                ttl = buffer[8];
            }
            for (cmsghdr* c = CMSG_FIRSTHDR(&message); c != nullptr; c = CMSG_NXTHDR(&message, c)) {
                if ((c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_TTL) ||
                    (c->cmsg_level == IPPROTO_IPV6 && c->cmsg_type == IPV6_HOPLIMIT)) {
                    std::memcpy(&ttl, CMSG_DATA(c), sizeof ttl);
                }
            }
            if (static_cast<size_t>(n) < offset + sizeof(icmphdr) + sizeof(Payload)) {
                continue;
            }
            const auto* header = reinterpret_cast<const icmphdr*>(buffer.data() + offset);
            if (header->type != (in.v6 ? ICMP6_ECHO_REPLY : ICMP_ECHOREPLY) ||
                (in.raw && ntohs(header->un.echo.id) != identifier)) {
                continue;
            }
            Payload payload{};
            std::memcpy(&payload, buffer.data() + offset + sizeof(icmphdr), sizeof payload);
            HostAddress sender;
            sender.v6 = in.v6;
            if (in.v6) {
                std::memcpy(sender.bytes.data(),
                            &reinterpret_cast<const sockaddr_in6*>(&from)->sin6_addr, 16);
            } else {
                std::memcpy(sender.bytes.data(),
                            &reinterpret_cast<const sockaddr_in*>(&from)->sin_addr, 4);
            }
            record(payload, sender, ttl, arrivedNs);
        }
    }

    void record(const Payload& payload, const HostAddress& from, int ttl, int64_t arrivedNs) {
        const auto it = targets.find(payload.target);
        if (it == targets.end() || payload.request >= PingTranscript::kRequests) {
            return;
        }
        Target& target = it->second;
        if (!target.named || !(target.address == from) || target.answered[payload.request]) {
            return;
        }
        target.answered[payload.request] = true;
        target.replies.push_back({static_cast<double>(arrivedNs - payload.sentNs) / 1e6, ttl});
        if (target.replies.size() == target.answered.size()) { // its last reply: done
            deliver(it);
        }
    }

    void deliver(std::unordered_map<uint32_t, Target>::iterator it) {
        const Target& target = it->second;
        queue->deliver(target.number, target.output,
                       PingTranscript::answered(target.host, HostAddresses::text(target.address),
                                                target.sent, target.replies));
        targets.erase(it);
    }

    static Clock::time_point deadline(const Target& target) {
        return target.start + kInterval * (PingTranscript::kRequests - 1) + kLastReplyWait;
    }

    // The workstations whose last wait is over; those answered are written already.
    void finish(Clock::time_point now) {
        while (!finishing.empty()) {
            const auto it = targets.find(finishing.front());
            if (it != targets.end()) {
                if (deadline(it->second) > now) {
                    return;
                }
                deliver(it);
            }
            finishing.pop_front();
        }
    }

    void finishAll() {
        for (const auto& [key, target] : targets) {
            queue->deliver(target.number, target.output,
                           target.named ? PingTranscript::answered(
                                              target.host, HostAddresses::text(target.address),
                                              PingTranscript::kRequests, target.replies)
                                        : PingTranscript::hostNotFound(target.host));
        }
        targets.clear();
        for (std::deque<uint32_t>& line : awaiting) {
            line.clear();
        }
        finishing.clear();
        queue->finished();
    }

    // Until a request, a deadline or a reply is due, or new work comes in.
    void waitForWork() {
        Clock::time_point next = awaiting[0].empty() ? Clock::time_point::max() : Clock::now();
        for (size_t request = 1; request < PingTranscript::kRequests; ++request) {
            if (!awaiting[request].empty()) {
                next = std::min(next, due(request));
            }
        }
        while (!finishing.empty() && targets.count(finishing.front()) == 0) {
            finishing.pop_front(); // answered
        }
        if (!finishing.empty()) {
            next = std::min(next, deadline(targets.at(finishing.front())));
        }
        next = std::min(next, names->nextGiveUp());
        int timeout = -1;
        if (next != Clock::time_point::max()) {
            const auto left =
                std::chrono::duration_cast<milliseconds>(next - Clock::now()).count() + 1;
            timeout = static_cast<int>(std::max<int64_t>(0, left));
        }
        // A closed socket (fd -1) is passed over by poll.
        std::array<pollfd, 3> fds{{{ipv4.fd, POLLIN, 0}, {ipv6.fd, POLLIN, 0}, {wake, POLLIN, 0}}};
        if (::poll(fds.data(), fds.size(), timeout) > 0 && (fds[2].revents & POLLIN) != 0) {
            uint64_t count = 0;
            [[maybe_unused]] const ssize_t n = ::read(wake, &count, sizeof count);
        }
    }
};

std::unique_ptr<IcmpEngine> IcmpEngine::open() {
    auto worker = std::make_unique<Worker>();
    if (!worker->ipv4.open(false)) {
        return nullptr;
    }
    worker->ipv6.open(true); // without it an IPv6 workstation's requests go unanswered
    worker->wake = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    const auto wake = [wake = worker->wake] {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(wake, &one, sizeof one);
    };
    worker->queue = std::make_unique<EchoQueue>(writeFile, wake);
    worker->names = std::make_unique<NameResolutions>(HostAddresses::resolve, wake);
    worker->thread = std::thread([w = worker.get()] { w->run(); });
    return std::unique_ptr<IcmpEngine>(new IcmpEngine(std::move(worker)));
}

IcmpEngine::IcmpEngine(std::unique_ptr<Worker> worker) : worker_(std::move(worker)) {}

IcmpEngine::~IcmpEngine() = default;

void IcmpEngine::ping(const QString& host, const QString& nativeOutputFile, const QString& file) {
    queue().ask(host.toStdString(), QFile::encodeName(nativeOutputFile).toStdString(),
                file.toStdString());
}

EchoQueue& IcmpEngine::queue() {
    return *worker_->queue;
}

} // namespace vantrel
