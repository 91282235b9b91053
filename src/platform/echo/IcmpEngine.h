#pragma once

#include "platform/LandedPing.h"

#include <QString>

#include <memory>
#include <vector>

namespace vantrel {

class EchoQueue;

// Pings many workstations at once from one thread, in this process: four echo
// requests to each (spacing and last wait in PingTranscript), then the French
// Windows transcript written to that workstation's file, whatever the system's
// language. Names are resolved on threads of their own, so a slow or missing name
// delays nobody else. One implementation per system, chosen by CMake: ICMP sockets
// on Linux, the Win32 ICMP API (no administrator rights) on Windows.
class IcmpEngine {
public:
    // Null where this system does not let the program ping: on Linux, neither an
    // ICMP datagram socket (net.ipv4.ping_group_range) nor a raw one (root).
    static std::unique_ptr<IcmpEngine> open();
    ~IcmpEngine();

    // Starts pinging host; the transcript goes to nativeOutputFile when done. file: the
    // transcript as the caller knows it, told back by takeWritten.
    void ping(const QString& host, const QString& nativeOutputFile, const QString& file);
    // The transcripts (their file as given to ping) written since the last call.
    std::vector<LandedPing> takeWritten();
    // True once every workstation asked has its transcript; waits up to ms for it.
    bool waitUntilDone(int ms);
    // Writes every transcript still to come, now: a request not answered yet, or
    // not sent yet, is lost; a name not found yet is not found. Returns once written;
    // takeWritten then tells none of them.
    void finishAll();

    struct Worker;

private:
    explicit IcmpEngine(std::unique_ptr<Worker> worker);
    // What the sweep's side shares with the engine's thread, the same on every system.
    EchoQueue& queue();
    std::unique_ptr<Worker> worker_;
};

} // namespace vantrel
