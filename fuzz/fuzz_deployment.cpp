// A .VTR document: its keys, the companion files it names.
#include "FuzzedFiles.h"
#include "documents/DeploymentFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vantrel::fuzz::FuzzedFiles files;
    files.put(QStringLiteral("C:\\Essai\\Essai.VTR"), data, size);
    vantrel::Workspace& ws = files.fixture.start();
    vantrel::SelectDeployment(ws, QStringLiteral("C:\\Essai\\Essai.VTR"));
    vantrel::LoadDeployment(ws);
    return 0;
}
