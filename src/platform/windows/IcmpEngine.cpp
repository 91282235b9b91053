#include "platform/echo/IcmpEngine.h"

#include "platform/echo/EchoQueue.h"
#include "platform/echo/HostAddress.h"
#include "platform/echo/NameResolutions.h"
#include "platform/echo/PingTranscript.h"

// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <winternl.h>
// winternl.h declares the APC routine type: the ICMP API's declaration may take it.
#define PIO_APC_ROUTINE_DEFINED
#include <iphlpapi.h>
#include <icmpapi.h>
// clang-format on

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <deque>
#include <map>
#include <optional>
#include <thread>

namespace vantrel {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr milliseconds kInterval{PingTranscript::kSpacingMs};
// Each request waits this long for its reply: the last one's wait ends the transcript.
constexpr DWORD kReplyWaitMs = PingTranscript::kLastReplyWaitMs;
constexpr WORD kPayloadBytes = 32;

// path in UTF-8.
bool writeFile(const std::string& path, const std::string& text) {
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), wide.data(),
                        length);
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const bool whole =
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
        written == text.size();
    return CloseHandle(file) && whole;
}

// The reply of Icmp6SendEcho2, as the system lays it out; MinGW's headers lack it.
#pragma pack(push, 1)
struct Ipv6AddressEx {
    USHORT port;
    ULONG flowInfo;
    USHORT address[8];
    ULONG scopeId;
};
#pragma pack(pop)
struct Icmpv6EchoReply {
    Ipv6AddressEx address;
    ULONG Status;
    unsigned int RoundTripTime;
};
static_assert(sizeof(Icmpv6EchoReply) == 36);

// An IPv6 address as the ICMPv6 calls take it.
sockaddr_in6 socketAddress(const HostAddress& address) {
    sockaddr_in6 value{};
    value.sin6_family = AF_INET6;
    std::memcpy(&value.sin6_addr, address.bytes.data(), sizeof value.sin6_addr);
    return value;
}

IPAddr ipv4(const HostAddress& address) {
    IPAddr value = 0;
    std::memcpy(&value, address.bytes.data(), sizeof value);
    return value;
}

struct Target {
    std::string host;
    std::string output;  // UTF-8
    uint64_t number = 0; // its queue's
    bool named = false;
    HostAddress address;
    Clock::time_point start;
    int sent = 0;
    int completed = 0;
    std::vector<PingTranscript::Reply> replies;
};

} // namespace

struct IcmpEngine::Worker {
    HANDLE icmp = INVALID_HANDLE_VALUE;
    HANDLE icmp6 = INVALID_HANDLE_VALUE; // stays so where the system has no ICMPv6
    HANDLE wake = nullptr;
    std::unique_ptr<EchoQueue> queue;
    std::unique_ptr<NameResolutions> names;
    std::thread thread;

    // The engine thread's own; replies arrive as APCs on that thread.
    std::map<uint32_t, Target> targets;
    uint32_t nextTarget = 0;
    std::vector<EchoQueue::Asked> asked;
    std::deque<uint32_t> sending; // by start time

    // One echo request in flight: its reply lands in buffer.
    struct Request {
        Worker* worker;
        uint32_t target;
        bool v6 = false;
        std::array<char, sizeof(ICMP_ECHO_REPLY) + sizeof(Icmpv6EchoReply) + kPayloadBytes + 8 +
                             sizeof(IO_STATUS_BLOCK) + 64>
            buffer{};
    };

    ~Worker() {
        if (queue) {
            queue->stop();
        }
        if (thread.joinable()) {
            thread.join();
        }
        names.reset(); // before its wake-up handle goes
        queue.reset();
        IcmpCloseHandle(icmp);
        if (icmp6 != INVALID_HANDLE_VALUE) {
            IcmpCloseHandle(icmp6);
        }
        CloseHandle(wake);
    }

    static void NTAPI onReply(PVOID context, PIO_STATUS_BLOCK, ULONG) {
        std::unique_ptr<Request> request(static_cast<Request*>(context));
        request->worker->record(request->target, replyOf(*request));
    }

    // The reply a request's buffer holds, if its workstation answered.
    static std::optional<PingTranscript::Reply> replyOf(Request& request) {
        const DWORD size = static_cast<DWORD>(request.buffer.size());
        if (request.v6) {
            const auto* reply = reinterpret_cast<const Icmpv6EchoReply*>(request.buffer.data());
            if (Icmp6ParseReplies(request.buffer.data(), size) == 0 ||
                reply->Status != IP_SUCCESS) {
                return std::nullopt;
            }
            return PingTranscript::Reply{static_cast<double>(reply->RoundTripTime), 0};
        }
        const auto* reply = reinterpret_cast<const ICMP_ECHO_REPLY*>(request.buffer.data());
        if (IcmpParseReplies(request.buffer.data(), size) == 0 || reply->Status != IP_SUCCESS) {
            return std::nullopt;
        }
        return PingTranscript::Reply{static_cast<double>(reply->RoundTripTime),
                                     static_cast<int>(reply->Options.Ttl)};
    }

    void record(uint32_t key, const std::optional<PingTranscript::Reply>& reply) {
        const auto it = targets.find(key);
        if (it == targets.end()) {
            return;
        }
        ++it->second.completed;
        if (reply) {
            it->second.replies.push_back(*reply);
        }
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
                SleepEx(0, TRUE); // the replies already in
                finishAll();
                continue;
            }
            sendDueRequests(now);
            finish();
            queue->handOver();
            // Alertable: the replies' APCs run here.
            WaitForSingleObjectEx(wake, nextTimeoutMs(), TRUE);
        }
    }

    bool takeIncoming(bool& finishNow) {
        if (!queue->take(asked, finishNow)) {
            return false;
        }
        for (EchoQueue::Asked& one : asked) {
            const uint32_t key = nextTarget++;
            Target& target = targets[key];
            target.host = std::move(one.host);
            target.output = std::move(one.output);
            target.number = one.number;
            target.start = Clock::now();
            if (HostAddresses::literal(target.host, target.address)) {
                target.named = true;
                sending.push_back(key);
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
            [this](uint32_t key) { sending.push_back(key); });
    }

    // Each workstation's requests go out half a second apart; a workstation whose
    // four are out leaves the queue.
    void sendDueRequests(Clock::time_point now) {
        std::deque<uint32_t> later;
        while (!sending.empty()) {
            const uint32_t key = sending.front();
            Target& target = targets.at(key);
            if (target.start + kInterval * target.sent > now) {
                later.push_back(key);
            } else {
                send(key, target);
                if (target.sent < PingTranscript::kRequests) {
                    later.push_back(key);
                }
            }
            sending.pop_front();
        }
        sending.swap(later);
    }

    void send(uint32_t key, Target& target) {
        ++target.sent;
        auto request = std::make_unique<Request>();
        request->worker = this;
        request->target = key;
        request->v6 = target.address.v6;
        if (request->v6 && icmp6 == INVALID_HANDLE_VALUE) {
            record(key, std::nullopt);
            return;
        }
        std::array<char, kPayloadBytes> payload{};
        if (sendEcho(*request, target.address, payload.data())) {
            request.release(); // onReply takes it back
        } else {
            record(key, replyOf(*request)); // answered at once, or failed
        }
    }

    // True when the request is under way; its reply comes to onReply.
    bool sendEcho(Request& request, const HostAddress& address, char* payload) {
        const DWORD size = static_cast<DWORD>(request.buffer.size());
        DWORD result = 0;
        if (!address.v6) {
            result =
                IcmpSendEcho2(icmp, nullptr, &Worker::onReply, &request, ipv4(address), payload,
                              kPayloadBytes, nullptr, request.buffer.data(), size, kReplyWaitMs);
        } else {
            sockaddr_in6 source = socketAddress(HostAddress{true, {}});
            sockaddr_in6 destination = socketAddress(address);
            result = Icmp6SendEcho2(icmp6, nullptr, &Worker::onReply, &request, &source,
                                    &destination, payload, kPayloadBytes, nullptr,
                                    request.buffer.data(), size, kReplyWaitMs);
        }
        return result == 0 && GetLastError() == ERROR_IO_PENDING;
    }

    void finish() {
        for (auto it = targets.begin(); it != targets.end();) {
            const Target& target = it->second;
            if (!target.named || target.completed < PingTranscript::kRequests) {
                ++it;
                continue;
            }
            queue->deliver(target.number, target.output,
                           PingTranscript::answered(target.host,
                                                    HostAddresses::text(target.address),
                                                    target.sent, target.replies));
            it = targets.erase(it);
        }
    }

    // Requests still in flight find no target when they return.
    void finishAll() {
        for (const auto& [key, target] : targets) {
            queue->deliver(target.number, target.output,
                           target.named ? PingTranscript::answered(
                                              target.host, HostAddresses::text(target.address),
                                              PingTranscript::kRequests, target.replies)
                                        : PingTranscript::hostNotFound(target.host));
        }
        targets.clear();
        sending.clear();
        queue->finished();
    }

    DWORD nextTimeoutMs() const {
        if (sending.empty() && !names->waiting()) {
            return targets.empty() ? INFINITE : 100; // replies wake the wait themselves
        }
        return 20;
    }
};

std::unique_ptr<IcmpEngine> IcmpEngine::open() {
    WSADATA winsock{};
    if (WSAStartup(MAKEWORD(2, 2), &winsock) != 0) {
        return nullptr;
    }
    auto worker = std::make_unique<Worker>();
    worker->icmp = IcmpCreateFile();
    if (worker->icmp == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    worker->icmp6 = Icmp6CreateFile(); // without it an IPv6 workstation's requests go unanswered
    worker->wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    const auto wake = [wake = worker->wake] { SetEvent(wake); };
    worker->queue = std::make_unique<EchoQueue>(writeFile, wake);
    worker->names = std::make_unique<NameResolutions>(HostAddresses::resolve, wake);
    worker->thread = std::thread([w = worker.get()] { w->run(); });
    return std::unique_ptr<IcmpEngine>(new IcmpEngine(std::move(worker)));
}

IcmpEngine::IcmpEngine(std::unique_ptr<Worker> worker) : worker_(std::move(worker)) {}

IcmpEngine::~IcmpEngine() = default;

void IcmpEngine::ping(const QString& host, const QString& nativeOutputFile, const QString& file) {
    queue().ask(host.toStdString(), nativeOutputFile.toStdString(), file.toStdString());
}

EchoQueue& IcmpEngine::queue() {
    return *worker_->queue;
}

} // namespace vantrel
