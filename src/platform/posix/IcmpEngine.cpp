#include "platform/echo/IcmpEngine.h"

#include "platform/echo/NameResolutions.h"
#include "platform/echo/PingTranscript.h"

#include <QFile>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/ip.h>
#include <netinet/ip_icmp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>
#include <unordered_map>

namespace vantrel {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr milliseconds kInterval{500};       // between two requests to one workstation
constexpr milliseconds kLastReplyWait{2000}; // after the last request
constexpr int kSocketBufferBytes = 8 << 20;
constexpr size_t kPayloadBytes = 32; // as Windows' ping

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

void writeFile(const std::string& path, const std::string& text) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        return; // the sweep says the transcript could not be read
    }
    for (size_t done = 0; done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno != EINTR) {
            break;
        }
        done += n > 0 ? static_cast<size_t>(n) : 0;
    }
    ::close(fd);
}

bool resolve(const std::string& host, uint32_t& address) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) {
        return false;
    }
    address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
    ::freeaddrinfo(found);
    return true;
}

struct Target {
    std::string host;
    std::string output;
    bool named = false; // its address is known
    in_addr address{};
    Clock::time_point start;
    int sent = 0;
    std::array<bool, PingTranscript::kRequests> answered{};
    std::vector<PingTranscript::Reply> replies;
};

} // namespace

struct IcmpEngine::Worker {
    int socket = -1;
    bool raw = false; // a raw socket sees every echo reply: ours carry our identifier
    uint16_t identifier = static_cast<uint16_t>(::getpid());
    int wake = -1;
    std::thread thread;

    std::mutex mutex; // guards incoming, stopping and finishRequested
    std::deque<std::pair<std::string, std::string>> incoming;
    bool stopping = false;
    bool finishRequested = false;
    std::condition_variable finished;
    std::unique_ptr<NameResolutions> names;

    // The engine thread's own.
    std::unordered_map<uint32_t, Target> targets;
    uint32_t nextTarget = 0;
    std::array<std::deque<uint32_t>, PingTranscript::kRequests> awaiting; // request k next
    std::deque<uint32_t> finishing;                                       // every request sent

    ~Worker() {
        {
            std::lock_guard<std::mutex> lock(mutex);
            stopping = true;
        }
        signal();
        if (thread.joinable()) {
            thread.join();
        }
        names.reset(); // before its wake-up handle goes
        ::close(socket);
        ::close(wake);
    }

    void signal() const {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(wake, &one, sizeof one);
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
            waitForWork();
        }
    }

    bool takeIncoming(bool& finishNow) {
        std::deque<std::pair<std::string, std::string>> taken;
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (stopping) {
                return false;
            }
            taken.swap(incoming);
            finishNow = finishRequested;
        }
        const Clock::time_point now = Clock::now();
        for (auto& [host, output] : taken) {
            const uint32_t key = nextTarget++;
            Target& target = targets[key];
            target.host = std::move(host);
            target.output = std::move(output);
            target.start = now;
            if (::inet_pton(AF_INET, target.host.c_str(), &target.address) == 1) {
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
            [](const Target& target) {
                writeFile(target.output, PingTranscript::hostNotFound(target.host));
            },
            [this](uint32_t key) { awaiting[0].push_back(key); });
    }

    void sendDueRequests(Clock::time_point now) {
        int sinceDrain = 0;
        for (int request = 0; request < PingTranscript::kRequests; ++request) {
            std::deque<uint32_t>& queue = awaiting[static_cast<size_t>(request)];
            while (!queue.empty()) {
                Target& target = targets.at(queue.front());
                if (target.start + kInterval * request > now) {
                    break;
                }
                send(queue.front(), target);
                (request + 1 < PingTranscript::kRequests
                     ? awaiting[static_cast<size_t>(request) + 1]
                     : finishing)
                    .push_back(queue.front());
                queue.pop_front();
                if (++sinceDrain == 64) {
                    receive(); // replies come back as fast as requests go out
                    sinceDrain = 0;
                }
            }
        }
    }

    void send(uint32_t key, Target& target) {
        std::array<uint8_t, sizeof(icmphdr) + kPayloadBytes> packet{};
        auto* header = reinterpret_cast<icmphdr*>(packet.data());
        header->type = ICMP_ECHO;
        header->un.echo.id = htons(identifier);
        header->un.echo.sequence = htons(static_cast<uint16_t>(key * 4 + target.sent));
        const Payload payload{key, static_cast<uint32_t>(target.sent), nowNs()};
        std::memcpy(packet.data() + sizeof(icmphdr), &payload, sizeof payload);
        header->checksum = checksum(packet.data(), packet.size());
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr = target.address;
        ++target.sent; // an unreachable route is a request that gets no reply
        for (int attempt = 0; attempt < 100; ++attempt) {
            if (::sendto(socket, packet.data(), packet.size(), 0,
                         reinterpret_cast<const sockaddr*>(&to), sizeof to) >= 0 ||
                (errno != EAGAIN && errno != ENOBUFS && errno != EINTR)) {
                return;
            }
            receive();
            pollfd out{socket, POLLOUT, 0};
            ::poll(&out, 1, 10);
        }
    }

    void receive() {
        std::array<uint8_t, 1500> buffer{};
        std::array<char, 64> control{};
        for (;;) {
            sockaddr_in from{};
            iovec io{buffer.data(), buffer.size()};
            msghdr message{};
            message.msg_name = &from;
            message.msg_namelen = sizeof from;
            message.msg_iov = &io;
            message.msg_iovlen = 1;
            message.msg_control = control.data();
            message.msg_controllen = control.size();
            const ssize_t n = ::recvmsg(socket, &message, MSG_DONTWAIT);
            if (n < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return;
            }
            const int64_t arrivedNs = nowNs();
            size_t offset = 0;
            int ttl = 0;
            if (raw) {
                offset = static_cast<size_t>(buffer[0] & 0x0f) * 4;
                ttl = buffer[8];
            } else {
                for (cmsghdr* c = CMSG_FIRSTHDR(&message); c != nullptr;
                     c = CMSG_NXTHDR(&message, c)) {
                    if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_TTL) {
                        std::memcpy(&ttl, CMSG_DATA(c), sizeof ttl);
                    }
                }
            }
            if (static_cast<size_t>(n) < offset + sizeof(icmphdr) + sizeof(Payload)) {
                continue;
            }
            const auto* header = reinterpret_cast<const icmphdr*>(buffer.data() + offset);
            if (header->type != ICMP_ECHOREPLY ||
                (raw && ntohs(header->un.echo.id) != identifier)) {
                continue;
            }
            Payload payload{};
            std::memcpy(&payload, buffer.data() + offset + sizeof(icmphdr), sizeof payload);
            record(payload, from.sin_addr, ttl, arrivedNs);
        }
    }

    void record(const Payload& payload, in_addr from, int ttl, int64_t arrivedNs) {
        const auto it = targets.find(payload.target);
        if (it == targets.end() || payload.request >= PingTranscript::kRequests) {
            return;
        }
        Target& target = it->second;
        if (!target.named || target.address.s_addr != from.s_addr ||
            target.answered[payload.request]) {
            return;
        }
        target.answered[payload.request] = true;
        target.replies.push_back({static_cast<double>(arrivedNs - payload.sentNs) / 1e6, ttl});
    }

    void finish(Clock::time_point now) {
        while (!finishing.empty()) {
            const auto it = targets.find(finishing.front());
            const Target& target = it->second;
            const bool allIn = target.replies.size() == target.answered.size();
            if (!allIn && target.start + kInterval * 3 + kLastReplyWait > now) {
                return;
            }
            char address[INET_ADDRSTRLEN] = {};
            ::inet_ntop(AF_INET, &target.address, address, sizeof address);
            writeFile(target.output,
                      PingTranscript::answered(target.host, address, target.sent, target.replies));
            targets.erase(it);
            finishing.pop_front();
        }
    }

    void finishAll() {
        for (const auto& [key, target] : targets) {
            char address[INET_ADDRSTRLEN] = {};
            ::inet_ntop(AF_INET, &target.address, address, sizeof address);
            writeFile(target.output, target.named ? PingTranscript::answered(
                                                        target.host, address,
                                                        PingTranscript::kRequests, target.replies)
                                                  : PingTranscript::hostNotFound(target.host));
        }
        targets.clear();
        for (std::deque<uint32_t>& queue : awaiting) {
            queue.clear();
        }
        finishing.clear();
        {
            std::lock_guard<std::mutex> lock(mutex);
            finishRequested = false;
        }
        finished.notify_all();
    }

    // Until a request, a deadline or a reply is due, or new work comes in.
    void waitForWork() {
        Clock::time_point next = Clock::time_point::max();
        for (int request = 0; request < PingTranscript::kRequests; ++request) {
            const std::deque<uint32_t>& queue = awaiting[static_cast<size_t>(request)];
            if (!queue.empty()) {
                next = std::min(next, targets.at(queue.front()).start + kInterval * request);
            }
        }
        if (!finishing.empty()) {
            next = std::min(next,
                            targets.at(finishing.front()).start + kInterval * 3 + kLastReplyWait);
        }
        next = std::min(next, names->nextGiveUp());
        int timeout = -1;
        if (next != Clock::time_point::max()) {
            const auto left =
                std::chrono::duration_cast<milliseconds>(next - Clock::now()).count() + 1;
            timeout = static_cast<int>(std::max<int64_t>(0, left));
        }
        std::array<pollfd, 2> fds{{{socket, POLLIN, 0}, {wake, POLLIN, 0}}};
        if (::poll(fds.data(), fds.size(), timeout) > 0 && (fds[1].revents & POLLIN) != 0) {
            uint64_t count = 0;
            [[maybe_unused]] const ssize_t n = ::read(wake, &count, sizeof count);
        }
    }
};

std::unique_ptr<IcmpEngine> IcmpEngine::open() {
    auto worker = std::make_unique<Worker>();
    worker->socket = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_ICMP);
    if (worker->socket < 0) {
        worker->socket = ::socket(AF_INET, SOCK_RAW | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_ICMP);
        worker->raw = true;
    }
    if (worker->socket < 0) {
        return nullptr;
    }
    const int size = kSocketBufferBytes;
    const int on = 1;
    if (::setsockopt(worker->socket, SOL_SOCKET, SO_RCVBUFFORCE, &size, sizeof size) != 0) {
        ::setsockopt(worker->socket, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    }
    ::setsockopt(worker->socket, IPPROTO_IP, IP_RECVTTL, &on, sizeof on);
    worker->wake = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    worker->names = std::make_unique<NameResolutions>(resolve, [wake = worker->wake] {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(wake, &one, sizeof one);
    });
    worker->thread = std::thread([w = worker.get()] { w->run(); });
    return std::unique_ptr<IcmpEngine>(new IcmpEngine(std::move(worker)));
}

IcmpEngine::IcmpEngine(std::unique_ptr<Worker> worker) : worker_(std::move(worker)) {}

IcmpEngine::~IcmpEngine() = default;

void IcmpEngine::ping(const QString& host, const QString& nativeOutputFile) {
    {
        std::lock_guard<std::mutex> lock(worker_->mutex);
        worker_->incoming.emplace_back(host.toStdString(),
                                       QFile::encodeName(nativeOutputFile).toStdString());
    }
    worker_->signal();
}

void IcmpEngine::finishAll() {
    std::unique_lock<std::mutex> lock(worker_->mutex);
    worker_->finishRequested = true;
    worker_->signal();
    worker_->finished.wait(lock, [this] { return !worker_->finishRequested; });
}

} // namespace vantrel
