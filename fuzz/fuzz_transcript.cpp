// A ping transcript, as the sweep reads and classifies it.
#include "FuzzedFiles.h"
#include "reach/PingSweep.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vantrel::fuzz::FuzzedFiles files;
    files.fixture.system.pingTranscripts.insert(
        QStringLiteral("PC01"),
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    vantrel::Workspace& ws = files.fixture.start();
    ws.state.WorkstationListPath = QStringLiteral("C:\\Essai\\Parc.LPO");
    ws.state.RunFolder = QStringLiteral("C:\\Essai");
    vantrel::PassRecords records = vantrel::recordsFor({QStringLiteral("PC01")});
    vantrel::PingSweep(ws, records);
    return 0;
}
