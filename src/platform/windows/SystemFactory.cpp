#include "platform/SystemFactory.h"

#include "WindowsSystem.h"

#include <cstdio>
#include <cstdlib>

#include <windows.h>

namespace vantrel {

std::unique_ptr<System> createSystem() {
    return std::make_unique<WindowsSystem>();
}

// Win32 file calls are made from the workers' threads themselves.
int serveAsWorkerProcess(int, char*[]) {
    return -1;
}

void endProcess(int status) {
    std::fflush(nullptr);
    ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(status));
    std::_Exit(status); // not reached: the process ends with the call above
}

} // namespace vantrel
