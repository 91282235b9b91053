#include "platform/SystemFactory.h"

#include "WindowsSystem.h"

namespace vantrel {

std::unique_ptr<System> createSystem() {
    return std::make_unique<WindowsSystem>();
}

// Win32 file calls are made from the workers' threads themselves.
int serveAsWorkerProcess(int, char*[]) {
    return -1;
}

} // namespace vantrel
