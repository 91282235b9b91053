#include "IcmpEngine.h"

#include "EchoQueue.h"

// The sweep's side of the engine, the same on every system; the rest is each system's.
namespace vantrel {

std::vector<LandedPing> IcmpEngine::takeWritten() {
    std::vector<LandedPing> landed;
    for (EchoQueue::Written& written : queue().takeWritten()) {
        landed.push_back({QString::fromStdString(written.label),
                          written.text ? std::optional(QByteArray::fromStdString(*written.text))
                                       : std::nullopt});
    }
    return landed;
}

bool IcmpEngine::waitUntilDone(int ms) {
    return queue().waitUntilDone(ms);
}

void IcmpEngine::finishAll() {
    queue().finishAll();
}

} // namespace vantrel
