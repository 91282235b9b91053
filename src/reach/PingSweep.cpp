#include "PingSweep.h"

#include "core/AddressText.h"
#include "core/Text.h"
#include "core/TextFile.h"
#include "core/Workspace.h"
#include "platform/CommandLines.h"

namespace vantrel {
namespace {

constexpr qint64 kMaxTranscriptBytes = 60000;
// How often the sweep, waiting for its transcripts, looks whether it is asked to stop.
constexpr int kStopCheckMs = 40;
// A ping program (VANTREL_PING) still running by then is ended; the echo engine has
// written every transcript long before, a name that does not resolve included.
constexpr qint64 kLongestSweepMs = 10000;
// The longest name a host can have in the DNS.
constexpr int kMaxHostNameLength = 253;

// The address the name led to, from the summary's heading "Statistiques Ping pour
// ADDRESS:", which a name that led nowhere has not.
QByteArray addressOf(const QString& transcript) {
    static const QString kHeading = QStringLiteral("Statistiques Ping pour ");
    const qsizetype start = transcript.indexOf(kHeading);
    if (start < 0) {
        return QByteArray();
    }
    QStringView line = QStringView(transcript).mid(start + kHeading.size());
    line = line.left(line.indexOf(u'\r')).left(line.indexOf(u'\n')).trimmed();
    return addressBytes(line.endsWith(u':') ? line.chopped(1) : line);
}

// Reads one transcript into its record; false when the sweep must stop.
bool classify(Workspace& ws, int index, WorkstationRecord& record) {
    const QString file = PingOutputFile(ws, index);
    QByteArray bytes;
    const FileError error = ws.system.readFile(file, bytes);
    if (error != FileError::None && error != FileError::TooLarge) {
        ws.inform(CommandLines::pingCommand(record.name, file) +
                      QStringLiteral("\r\nn'a pas pu s'exécuter"),
                  QStringLiteral("Erreur fatale"), Icon::Critical);
        return false;
    }
    if (error == FileError::TooLarge || bytes.size() > kMaxTranscriptBytes) {
        ws.inform(QStringLiteral("La taille doit être inférieure à 60ko"),
                  QStringLiteral("Fichier trop volumineux"));
        return false;
    }
    const QString transcript = TextFile::decode(bytes);
    record.loss = ExtractBetween(transcript, QStringLiteral("perte "), QStringLiteral("%)"));
    record.address = addressOf(transcript);
    record.swept = true;
    if (!record.answered()) {
        record.fate = WorkstationRecord::Fate::NoAnswer;
    }
    return true;
}

// A name no host can have stops the sweep before any ping.
bool namesFit(Workspace& ws, const PassRecords& records) {
    for (const WorkstationRecord& record : records) {
        if (record.name.size() > kMaxHostNameLength) {
            ws.inform(record.name + QStringLiteral("\r\nfait plus de %1 caractères, la longueur "
                                                   "maximale d'un nom de poste")
                                        .arg(kMaxHostNameLength),
                      QStringLiteral("Nom de poste trop long"), Icon::Information);
            return false;
        }
    }
    return true;
}

bool isDuplicate(const WorkstationRecord& record) {
    return record.fate == WorkstationRecord::Fate::Duplicate;
}

} // namespace

QString ExtractBetween(const QString& text, const QString& startMarker, const QString& endMarker) {
    const qsizetype p = text.indexOf(startMarker);
    if (p < 0) {
        return QStringLiteral("####");
    }
    const qsizetype start = p + startMarker.size();
    const qsizetype q = text.indexOf(endMarker, p + 1);
    if (q < 0) {
        return QStringLiteral("####");
    }
    return q > start ? text.mid(start, q - start) : QString();
}

QString PingOutputFile(const Workspace& ws, int index) {
    return ws.state.RunFolder + QStringLiteral("\\ping") + QString::number(index) +
           QStringLiteral(".txt");
}

bool PingSweep(Workspace& ws, PassRecords& records, const PassRecords& cycle) {
    const BusyPointer busy(ws);
    if (records.empty()) {
        ws.inform(QStringLiteral("La liste des postes est vide"),
                  QStringLiteral("Aucun poste à interroger"), Icon::Information);
        return false;
    }
    if (ws.state.WorkstationListPath.isEmpty()) {
        ws.inform(QStringLiteral("La variable LocListePostes est vide"),
                  QStringLiteral("Enregistrer cette liste de postes"), Icon::Information);
        return false;
    }
    if (!namesFit(ws, records)) {
        return false;
    }
    for (size_t i = 0; i < records.size(); ++i) {
        if (!isDuplicate(records[i])) { // one workstation, one ping
            ws.system.startCommand(
                CommandLines::pingCommand(records[i].name, PingOutputFile(ws, static_cast<int>(i))),
                WindowStyle::MinimizedWithFocus);
        }
    }
    // Until the last transcript is in: nothing the network could still answer is waited for.
    const qint64 started = ws.clock.elapsedMs();
    while (!ws.system.waitForPings(kStopCheckMs) && !ws.stopRequested() &&
           ws.clock.elapsedMs() - started < kLongestSweepMs) {
    }
    // Whatever the load, every transcript is written by now; a reply not in counts as lost.
    ws.system.finishPings();
    if (ws.stopRequested()) {
        return false;
    }
    for (size_t i = 0; i < records.size(); ++i) {
        if (!isDuplicate(records[i]) && !classify(ws, static_cast<int>(i), records[i])) {
            return false;
        }
    }
    markSameWorkstations(records, cycle);
    return true;
}

} // namespace vantrel
