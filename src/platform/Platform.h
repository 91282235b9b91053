#pragma once

#include "Clock.h"
#include "System.h"
#include "UserInterface.h"

namespace vantrel {

// Everything the logic asks of the outside world.
struct Platform {
    System& system;
    UserInterface& ui;
    Clock& clock;
};

} // namespace vantrel
