#pragma once

#include "System.h"

#include <memory>

namespace vantrel {

// The backend of this operating system, chosen when the program is built.
std::unique_ptr<System> createSystem();

} // namespace vantrel
