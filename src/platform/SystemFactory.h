#pragma once

#include "System.h"

#include <memory>

namespace vantrel {

// The backend of this operating system, chosen when the program is built.
std::unique_ptr<System> createSystem();

// Where the backend serves a pass's workers from processes of their own, the program
// started as one of them serves until its caller goes, and this returns its exit
// status; otherwise -1 and the program goes on.
int serveAsWorkerProcess(int argc, char* argv[]);

} // namespace vantrel
