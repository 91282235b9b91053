#include "platform/SystemFactory.h"

#include "PosixSystem.h"

namespace vantrel {

std::unique_ptr<System> createSystem() {
    return std::make_unique<PosixSystem>();
}

} // namespace vantrel
