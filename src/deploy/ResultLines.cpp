#include "ResultLines.h"

#include "core/Text.h"
#include "core/Workspace.h"

#include <QStringBuilder>

namespace vantrel {
namespace {

using Fate = WorkstationRecord::Fate;

const QString kPingFail = QStringLiteral("PingFail");

// The name column: a name that fits is filled with blanks to the column's width, a
// longer one keeps all its characters (the board shortens it on screen).
QString nameField(const Workspace& ws, const QString& name) {
    const int width = ws.state.NameColumnWidth;
    return name.size() > width ? name : fitToWidth(name, width);
}

QString lossField(const QString& loss) {
    return (QStringLiteral("    ") + loss).right(4);
}

bool noAnswer(const WorkstationRecord& r) {
    return r.fate == Fate::NoAnswer;
}

// Served, or to be told as not done: the second group of lines.
bool visited(const WorkstationRecord& r) {
    return r.fate == Fate::Served || r.fate == Fate::NotReached;
}

QString notDoneText(const WorkstationRecord& r) {
    return kNotDone + QStringLiteral(" : déploiement arrêté avant la fin de ce poste;") + r.message;
}

// afterCopies: a workstation that did not answer shows a loss of 100 whatever was read
// (the sweep's rows show the loss read, "####" for a name not found).
QString row(const Workspace& ws, const WorkstationRecord& r, const QString& ruleCount,
            bool afterCopies = true) {
    const QString name = nameField(ws, r.name);
    if (noAnswer(r) && afterCopies) {
        return name + QStringLiteral("; 100;  Void  ");
    }
    if (r.fate == Fate::NotReached) {
        return name + QLatin1Char(';') + lossField(r.swept ? r.loss : QStringLiteral("####")) +
               QLatin1Char(';') + kNotDone;
    }
    if (r.fate == Fate::Pending || noAnswer(r)) { // a sweep's, or a pass that only pinged
        return name + QLatin1Char(';') + lossField(r.loss) + QLatin1String(";  Void  ");
    }
    const QString count = QString::number(r.failures) + QLatin1Char('/') + ruleCount;
    return name + QStringLiteral(";   0;") + (count + QString(8, QLatin1Char(' '))).left(8);
}

// A row for each workstation of the cycle with an outcome, in list order; after the
// copies, those that did not answer come first.
QStringList cycleRows(const Workspace& ws, const PassRecords& cycle, bool afterCopies) {
    const QString ruleCount = QString::number(ws.lists.ListeSource.count());
    QStringList first;
    QStringList rest;
    for (const WorkstationRecord& r : cycle) {
        if (r.fate == Fate::Duplicate || (r.fate == Fate::Pending && !r.swept)) {
            continue;
        }
        (afterCopies && noAnswer(r) ? first : rest).append(row(ws, r, ruleCount, afterCopies));
    }
    return first + rest;
}

} // namespace

void writeLiveRows(Workspace& ws, const PassRecords& records) {
    const QString ruleCount = QString::number(ws.lists.ListeSource.count());
    QStringList rows;
    rows.reserve(static_cast<qsizetype>(records.size()));
    for (const WorkstationRecord& r : records) {
        if (r.fate == Fate::Duplicate) {
            continue;
        }
        if (r.fate != Fate::Pending) {
            rows.append(row(ws, r, ruleCount));
            continue;
        }
        rows.append(nameField(ws, r.name) % QLatin1Char(';') %
                    (r.swept ? lossField(r.loss) : kPingPending) % QLatin1Char(';') % kPending);
    }
    // The rows keep their order while the pass runs: the operator's selection stays.
    ws.lists.Listécritures.assign(rows);
}

QString passSummary(const PassRecords& records, const QTime& endedAt) {
    using Fate = WorkstationRecord::Fate;
    int served = 0;
    int errors = 0;
    int silent = 0;
    int notDone = 0;
    for (const WorkstationRecord& r : records) {
        served += r.fate == Fate::Served && r.failures == 0 ? 1 : 0;
        errors += r.fate == Fate::Served && r.failures > 0 ? 1 : 0;
        silent += r.fate == Fate::NoAnswer ? 1 : 0;
        notDone += r.fate == Fate::NotReached ? 1 : 0;
    }
    const auto counted = [](int n, const char* one, const char* many) {
        return QString::number(n) + QLatin1Char(' ') + QString::fromUtf8(n > 1 ? many : one);
    };
    QString line = QStringLiteral("Passe terminée à ") + endedAt.toString(QStringLiteral("HH:mm")) +
                   QStringLiteral(" : ") + counted(served, "poste servi", "postes servis") +
                   QStringLiteral(", ") + QString::number(errors) + QStringLiteral(" en erreur, ") +
                   QString::number(silent) + QStringLiteral(" sans réponse");
    if (notDone > 0) {
        line += QStringLiteral(", ") + counted(notDone, "non fait", "non faits");
    }
    return line;
}

QStringList pingFailureLines(const PassRecords& records) {
    QStringList lines;
    for (const WorkstationRecord& r : records) {
        if (noAnswer(r)) {
            lines.append(r.name + QLatin1Char(';') + kPingFail);
        }
    }
    return lines;
}

void writeSweepLines(Workspace& ws, const PassRecords& records) {
    Lists& l = ws.lists;
    QStringList general;
    general.reserve(static_cast<qsizetype>(records.size()));
    const QString answeredText = QStringLiteral(";Ping Ok");
    const QString silentText = QLatin1Char(';') + kPingFail;
    for (const WorkstationRecord& r : records) {
        if (!r.swept || r.fate == Fate::Duplicate) {
            continue;
        }
        general.append(r.name % (r.answered() ? answeredText : silentText));
    }
    const QStringList failures = pingFailureLines(records);
    l.ListeGénérale.assign(general);
    l.L_PostesFail.assign(failures);
    l.L_GénéErreurs.assign(failures);
    l.Listécritures.assign(cycleRows(ws, ws.cycleRecords, false));
}

void writePassLines(Workspace& ws, const PassRecords& records) {
    writeSweepLines(ws, records);
    Lists& l = ws.lists;
    for (const WorkstationRecord& r : records) {
        if (!visited(r)) {
            continue;
        }
        if (r.fate == Fate::NotReached) {
            const QString line = r.name + QLatin1Char(';') + notDoneText(r);
            l.L_PostesFail.append(r.name + QLatin1Char(';') + kNotDone);
            l.L_GénéErreurs.append(line);
            l.ListeGénérale.append(line);
            continue;
        }
        l.L_PostesFail.append(r.name + QLatin1Char(';') + QString::number(r.failures));
        const QString line = r.failures > 0 ? r.name + QLatin1Char(';') + r.message
                                            : r.name + QStringLiteral(";OK ") + r.message;
        (r.failures > 0 ? l.L_GénéErreurs : l.L_PostesOk).append(line);
        l.ListeGénérale.append(line);
    }
    l.Listécritures.assign(cycleRows(ws, ws.cycleRecords, true));
}

} // namespace vantrel
