// A .LPO workstation list, as a deployment loads it.
#include "FuzzedFiles.h"
#include "documents/DeploymentFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vantrel::fuzz::FuzzedFiles files;
    files.put(QStringLiteral("C:\\Essai\\Parc.LPO"), data, size);
    vantrel::Workspace& ws = files.fixture.start();
    vantrel::SelectDeployment(ws, QStringLiteral("C:\\Essai\\Essai.VTR"));
    vantrel::LoadDeployment(ws);
    return 0;
}
