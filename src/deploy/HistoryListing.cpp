#include "HistoryListing.h"

#include "Pass.h"
#include "StampedVersions.h"
#include "core/TextFile.h"
#include "core/Workspace.h"

namespace vantrel {
namespace {

QStringList targetLines(Workspace& ws, const QString& prefix, const QString& target,
                        FileError& error) {
    std::vector<StampedVersion> versions;
    error = stampedVersions(ws.system, target, versions);
    if (error != FileError::None) {
        return {prefix + describe(error)};
    }
    const qint64 live = ws.system.fileLength(target);
    QStringList lines{prefix + (live < 0 ? QStringLiteral("absent;;")
                                         : QStringLiteral("en place;;") + QString::number(live))};
    for (const StampedVersion& version : versions) {
        lines.append(prefix + version.stamp + QLatin1Char(';') +
                     version.time.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")) +
                     QLatin1Char(';') + QString::number(version.size));
    }
    return lines;
}

} // namespace

bool ListHistory(Workspace& ws, QStringList& lines) {
    lines.clear();
    const bool ended = visitWorkstations(ws, [&lines](Workspace& w, const QString& host) {
        const Lists& l = w.lists;
        int failures = 0;
        for (int j = 0; j < l.ListeSource.count(); ++j) {
            if (w.stopRequested()) {
                return false;
            }
            const QString target = ruleTarget(host, l.ListeSource.at(j), l.ListeDest.at(j));
            FileError error = FileError::None;
            lines +=
                targetLines(w, host + QLatin1Char(';') + target + QLatin1Char(';'), target, error);
            failures += error != FileError::None ? 1 : 0;
        }
        recordWorkstation(w, host, failures, QString());
        return true;
    });
    for (const QString& line : ws.lists.L_PostesFail.entries()) {
        if (line.endsWith(QLatin1String(";PingFail"))) {
            lines.append(line);
        }
    }
    if (ended) {
        TextFile::writeLines(ws.system, ws.state.RunFolder + QStringLiteral("\\Historique.txt"),
                             lines);
    }
    return ended;
}

} // namespace vantrel
