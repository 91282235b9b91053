// A .VTR document: its keys, the companion files it names.
#include "FuzzedFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vantrel::fuzz::FuzzedFiles files;
    files.put(QStringLiteral("C:\\Essai\\Essai.VTR"), data, size);
    files.loadDeployment();
    return 0;
}
