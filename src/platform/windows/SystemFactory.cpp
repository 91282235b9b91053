#include "platform/SystemFactory.h"

#include "WindowsSystem.h"

namespace vantrel {

std::unique_ptr<System> createSystem() {
    return std::make_unique<WindowsSystem>();
}

} // namespace vantrel
