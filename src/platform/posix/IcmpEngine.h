#pragma once

#include <QString>

#include <memory>

namespace vantrel {

// Pings many workstations at once from one thread, in this process: four echo
// requests half a second apart to each, two seconds for the last reply, then the
// French Windows transcript written to that workstation's file. Names are resolved
// on threads of their own, so a slow or missing name delays nobody else.
class IcmpEngine {
public:
    // An engine on an ICMP datagram socket (allowed by net.ipv4.ping_group_range)
    // or a raw one (root); null when neither may be opened.
    static std::unique_ptr<IcmpEngine> open();
    ~IcmpEngine();

    // Starts pinging host; the transcript goes to nativeOutputFile when done.
    void ping(const QString& host, const QString& nativeOutputFile);

    struct Worker;

private:
    explicit IcmpEngine(std::unique_ptr<Worker> worker);
    std::unique_ptr<Worker> worker_;
};

} // namespace vantrel
