// The settings file, read at every start; its recent files are then offered.
#include "FuzzedFiles.h"
#include "core/Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vantrel::fuzz::FuzzedFiles files;
    files.put(QStringLiteral("C:\\Prog\\Vantrel\\Vantrel.INI"), data, size);
    vantrel::Workspace& ws = files.fixture.start();
    vantrel::UpdateRecentMenu(ws);
    return 0;
}
