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

// Ends the program with status once its work is done and its files are closed;
// buffered output is written first. On Windows the process ends without unloading
// its libraries: the MinGW runtime would run the main thread's thread-local
// destructors of Qt Core (its animation timers) after Qt Core was finalized, and
// the process could hang there, its window gone.
[[noreturn]] void endProcess(int status);

} // namespace vantrel
