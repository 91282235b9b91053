#include "PingSweep.h"

#include "core/AddressText.h"
#include "core/Text.h"
#include "core/TextFile.h"
#include "core/Workspace.h"
#include "platform/CommandLines.h"

#include <QHash>

#include <vector>

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

// What one transcript says, read as soon as it lands and told in list order at the end.
struct Reading {
    enum class Outcome { Unread, Read, Unreadable, TooLarge };
    Outcome outcome = Outcome::Unread;
    QString loss;
    QByteArray address;
};

Reading readingOf(const QByteArray& bytes) {
    if (bytes.size() > kMaxTranscriptBytes) {
        return {Reading::Outcome::TooLarge, {}, {}};
    }
    const QString transcript = TextFile::decode(bytes);
    return {Reading::Outcome::Read,
            ExtractBetween(transcript, QStringLiteral("perte "), QStringLiteral("%)")),
            addressOf(transcript)};
}

Reading readTranscript(Workspace& ws, int index) {
    QByteArray bytes;
    const FileError error = ws.system.readFile(PingOutputFile(ws, index), bytes);
    if (error == FileError::TooLarge) {
        return {Reading::Outcome::TooLarge, {}, {}};
    }
    if (error != FileError::None) {
        return {Reading::Outcome::Unreadable, {}, {}};
    }
    return readingOf(bytes);
}

// Lands one transcript's reading into its record; false when the sweep must stop.
bool land(Workspace& ws, int index, const Reading& reading, WorkstationRecord& record) {
    if (reading.outcome == Reading::Outcome::Unreadable) {
        ws.inform(CommandLines::pingCommand(record.name, PingOutputFile(ws, index)) +
                      QStringLiteral("\r\nn'a pas pu s'exécuter"),
                  QStringLiteral("Erreur fatale"), Icon::Critical);
        return false;
    }
    if (reading.outcome == Reading::Outcome::TooLarge) {
        ws.inform(QStringLiteral("La taille doit être inférieure à 60ko"),
                  QStringLiteral("Fichier trop volumineux"));
        return false;
    }
    record.loss = reading.loss;
    record.address = reading.address;
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
    QHash<QString, int> pinged; // transcript file -> its workstation
    pinged.reserve(static_cast<qsizetype>(records.size()));
    for (size_t i = 0; i < records.size(); ++i) {
        if (!isDuplicate(records[i])) { // one workstation, one ping
            const QString file = PingOutputFile(ws, static_cast<int>(i));
            ws.system.startCommand(CommandLines::pingCommand(records[i].name, file),
                                   WindowStyle::MinimizedWithFocus);
            pinged.insert(file, static_cast<int>(i));
        }
    }
    // Until the last transcript is in: nothing the network could still answer is waited for.
    // Each is read as it lands, while the others' requests go on.
    std::vector<Reading> readings(records.size());
    const qint64 started = ws.clock.elapsedMs();
    bool allIn = false;
    while (!allIn && !ws.stopRequested() && ws.clock.elapsedMs() - started < kLongestSweepMs) {
        allIn = ws.system.waitForPings(kStopCheckMs);
        for (const LandedPing& landed : ws.system.takeLandedPings()) {
            if (const auto it = pinged.constFind(landed.file); it != pinged.constEnd()) {
                readings[static_cast<size_t>(*it)] =
                    landed.transcript ? readingOf(*landed.transcript) : readTranscript(ws, *it);
            }
        }
    }
    // Whatever the load, every transcript is written by now; a reply not in counts as lost.
    ws.system.finishPings();
    if (ws.stopRequested()) {
        return false;
    }
    for (size_t i = 0; i < records.size(); ++i) {
        if (isDuplicate(records[i])) {
            continue;
        }
        const int index = static_cast<int>(i);
        if (readings[i].outcome == Reading::Outcome::Unread) {
            readings[i] = readTranscript(ws, index); // a ping program's, or written at the end
        }
        if (!land(ws, index, readings[i], records[i])) {
            return false;
        }
    }
    markSameWorkstations(records, cycle);
    return true;
}

} // namespace vantrel
