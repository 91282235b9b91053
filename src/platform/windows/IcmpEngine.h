#pragma once

#include <QString>

#include <memory>

namespace vantrel {

// Pings many workstations at once through the Win32 ICMP API (no administrator
// rights needed): four echo requests half a second apart to each, two seconds for
// each reply, then the French transcript written to that workstation's file, whatever
// the display language of this Windows. Names are resolved on threads of their own.
class IcmpEngine {
public:
    // Null when the ICMP API cannot be opened.
    static std::unique_ptr<IcmpEngine> open();
    ~IcmpEngine();

    void ping(const QString& host, const QString& outputFile);

    struct Worker;

private:
    explicit IcmpEngine(std::unique_ptr<Worker> worker);
    std::unique_ptr<Worker> worker_;
};

} // namespace vantrel
