#include "platform/SystemFactory.h"

#include "FileAgent.h"
#include "PosixSystem.h"

#include <QCoreApplication>
#include <cstdlib>
#include <cstring>

#include <unistd.h>

namespace vantrel {

std::unique_ptr<System> createSystem() {
    return std::make_unique<PosixSystem>();
}

int serveAsWorkerProcess(int argc, char* argv[]) {
    if (argc != 3 || std::strcmp(argv[1], FileAgent::kArgument) != 0) {
        return -1;
    }
    QCoreApplication app(argc, argv);
    PosixSystem system;
    const int status = FileAgent::serve(system, static_cast<pid_t>(std::atol(argv[2])));
    // Nothing is left to write; tearing the connections down could wait on a server
    // that stopped answering.
    ::_exit(status);
}

void endProcess(int status) {
    std::exit(status);
}

} // namespace vantrel
