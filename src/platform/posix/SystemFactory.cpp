#include "platform/SystemFactory.h"

#include "FileAgent.h"
#include "PosixSystem.h"

#include <QCoreApplication>
#include <cstring>

namespace vantrel {

std::unique_ptr<System> createSystem() {
    return std::make_unique<PosixSystem>();
}

int serveAsWorkerProcess(int argc, char* argv[]) {
    if (argc != 2 || std::strcmp(argv[1], FileAgent::kArgument) != 0) {
        return -1;
    }
    QCoreApplication app(argc, argv);
    PosixSystem system;
    return FileAgent::serve(system);
}

} // namespace vantrel
