#include "ResultLines.h"

#include "core/Text.h"
#include "core/Workspace.h"

#include <QHash>
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

QString sameWorkstationLine(const WorkstationRecord& r) {
    return r.name + QLatin1Char(';') + kSameWorkstation + r.sameAs;
}

QString notDoneText(const WorkstationRecord& r) {
    return kNotDone + QStringLiteral(" : déploiement arrêté avant la fin de ce poste;") + r.message;
}

// afterCopies: a workstation that did not answer shows a loss of 100 whatever was read
// (the sweep's rows show the loss read, "####" for a name not found).
QString rowText(const Workspace& ws, const WorkstationRecord& r, int ruleCount, bool afterCopies) {
    const QString name = nameField(ws, r.name);
    if (noAnswer(r) && afterCopies) {
        return name + QStringLiteral("; 100;  Void  ");
    }
    if (r.fate == Fate::NotReached) {
        return name + QLatin1Char(';') + lossField(r.swept ? r.loss : QStringLiteral("####")) +
               QLatin1Char(';') + kNotDone;
    }
    if (r.fate == Fate::SameWorkstation) {
        return name + QLatin1Char(';') + lossField(r.loss) + QLatin1Char(';') + kSameWorkstation +
               r.sameAs;
    }
    if (r.fate == Fate::Pending || noAnswer(r)) { // a sweep's, or a pass that only pinged
        return name + QLatin1Char(';') + lossField(r.loss) + QLatin1String(";  Void  ");
    }
    const QString count =
        QString::number(r.failures) + QLatin1Char('/') + QString::number(ruleCount);
    return name + QStringLiteral(";   0;") + (count + QString(8, QLatin1Char(' '))).left(8);
}

// The lights, from the record: green for a ping answered and for copies all done, red
// for no answer, a stop, copies not made or all failed, mixed for some failed; none
// for a ping not read yet.
QString pingLightOf(const WorkstationRecord& r) {
    if (!r.swept) {
        return r.fate == Fate::NotReached ? kRedLight : QString();
    }
    return r.answered() ? kGreenLight : kRedLight;
}

QString copyLightOf(const WorkstationRecord& r, int ruleCount) {
    switch (r.fate) {
    case Fate::Served:
        return r.failures == 0 ? kGreenLight : r.failures >= ruleCount ? kRedLight : kMixedLight;
    case Fate::Pending: // answered, its copies not made: "Void"
    case Fate::NoAnswer:
    case Fate::NotReached:
        return kRedLight;
    case Fate::Duplicate:
    case Fate::SameWorkstation:
        break;
    }
    return QString();
}

QString pingLine(const WorkstationRecord& r) {
    return r.name % (r.answered() ? QStringLiteral(";Ping Ok") : QLatin1Char(';') + kPingFail);
}

// The copy line of a workstation visited: its result, or what was done before the stop.
QString copyLine(const WorkstationRecord& r) {
    if (r.fate == Fate::NotReached) {
        return r.name + QLatin1Char(';') + notDoneText(r);
    }
    return r.failures > 0 ? r.name + QLatin1Char(';') + r.message
                          : r.name + QStringLiteral(";OK ") + r.message;
}

BoardRow boardRow(const Workspace& ws, const WorkstationRecord& r, int ruleCount,
                  bool afterCopies) {
    BoardRow row;
    row.text = rowText(ws, r, ruleCount, afterCopies);
    row.pingLight = pingLightOf(r);
    row.deploymentLight = copyLightOf(r, ruleCount);
    if (r.swept) {
        row.detail.append(pingLine(r));
    }
    if (visited(r)) {
        row.detail.append(copyLine(r));
    }
    if (r.fate == Fate::SameWorkstation) {
        row.detail.append(sameWorkstationLine(r));
    }
    return row;
}

// A row for each workstation of the cycle with an outcome, in list order; after the
// copies, those that did not answer come first.
BoardRows cycleRows(const Workspace& ws, const PassRecords& cycle, bool afterCopies) {
    const int ruleCount = ws.lists.ListeSource.count();
    BoardRows first;
    BoardRows rest;
    for (const WorkstationRecord& r : cycle) {
        if (r.fate == Fate::Duplicate || (r.fate == Fate::Pending && !r.swept)) {
            continue;
        }
        (afterCopies && noAnswer(r) ? first : rest).append(boardRow(ws, r, ruleCount, afterCopies));
    }
    return first + rest;
}

// A workstation's row while the pass runs: its result once known, else what is
// known of its ping and copies still to come.
BoardRow liveRow(const Workspace& ws, const WorkstationRecord& r, int ruleCount) {
    if (r.fate != Fate::Pending) {
        return boardRow(ws, r, ruleCount, true);
    }
    BoardRow row;
    row.text = nameField(ws, r.name) % QLatin1Char(';') %
               (r.swept ? lossField(r.loss) : kPingPending) % QLatin1Char(';') % kPending;
    row.pingLight = pingLightOf(r);
    if (r.swept) {
        row.detail.append(pingLine(r));
    }
    return row;
}

} // namespace

void writeLiveRows(Workspace& ws, const PassRecords& records) {
    const int ruleCount = ws.lists.ListeSource.count();
    BoardRows rows;
    rows.reserve(static_cast<qsizetype>(records.size()));
    for (const WorkstationRecord& r : records) {
        if (r.fate != Fate::Duplicate) {
            rows.append(liveRow(ws, r, ruleCount));
        }
    }
    // The rows keep their order while the pass runs: the operator's selection stays.
    ws.setBoard(rows);
}

std::vector<int> liveRowsOf(const PassRecords& cycle, const PassRecords& pass) {
    QHash<QString, int> rowOf;
    int row = 0;
    for (const WorkstationRecord& r : cycle) {
        if (r.fate != Fate::Duplicate) {
            rowOf.insert(r.name.toCaseFolded(), row++);
        }
    }
    std::vector<int> rows;
    rows.reserve(pass.size());
    for (const WorkstationRecord& r : pass) {
        rows.push_back(r.fate == Fate::Duplicate ? -1 : rowOf.value(r.name.toCaseFolded(), -1));
    }
    return rows;
}

void writeLiveRow(Workspace& ws, int row, const WorkstationRecord& record) {
    if (row >= 0 && row < ws.board().size()) {
        ws.setBoardRow(row, liveRow(ws, record, ws.lists.ListeSource.count()));
    }
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

QStringList sameWorkstationLines(const PassRecords& records) {
    QStringList lines;
    for (const WorkstationRecord& r : records) {
        if (r.fate == Fate::SameWorkstation) {
            lines.append(sameWorkstationLine(r));
        }
    }
    return lines;
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
    for (const WorkstationRecord& r : records) {
        if (r.swept && r.fate != Fate::Duplicate) {
            general.append(pingLine(r));
        }
    }
    const QStringList failures = pingFailureLines(records);
    l.ListeGénérale.assign(general);
    l.L_PostesFail.assign(failures);
    l.L_GénéErreurs.assign(failures);
    ws.setBoard(cycleRows(ws, ws.cycleRecords, false));
}

void writePassLines(Workspace& ws, const PassRecords& records) {
    writeSweepLines(ws, records);
    Lists& l = ws.lists;
    for (const WorkstationRecord& r : records) {
        if (r.fate == Fate::SameWorkstation) {
            l.ListeGénérale.append(sameWorkstationLine(r));
        }
        if (!visited(r)) {
            continue;
        }
        const QString line = copyLine(r);
        if (r.fate == Fate::NotReached) {
            l.L_PostesFail.append(r.name + QLatin1Char(';') + kNotDone);
            l.L_GénéErreurs.append(line);
        } else {
            l.L_PostesFail.append(r.name + QLatin1Char(';') + QString::number(r.failures));
            (r.failures > 0 ? l.L_GénéErreurs : l.L_PostesOk).append(line);
        }
        l.ListeGénérale.append(line);
    }
    ws.setBoard(cycleRows(ws, ws.cycleRecords, true));
}

} // namespace vantrel
