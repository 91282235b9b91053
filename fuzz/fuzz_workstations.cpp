// A .LPO workstation list, as a deployment loads it.
#include "FuzzedFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vantrel::fuzz::FuzzedFiles files;
    files.put(QStringLiteral("C:\\Essai\\Parc.LPO"), data, size);
    files.loadDeployment();
    return 0;
}
