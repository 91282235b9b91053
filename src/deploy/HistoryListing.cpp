#include "HistoryListing.h"

#include "Pass.h"
#include "ResultLines.h"
#include "StampedVersions.h"
#include "core/TextFile.h"
#include "core/Workspace.h"

namespace vantrel {
namespace {

QStringList targetLines(Files& files, const QString& prefix, const QString& target,
                        FileError& error) {
    std::vector<StampedVersion> versions;
    error = stampedVersions(files, target, versions);
    if (error != FileError::None) {
        return {prefix + describe(error)};
    }
    const qint64 live = files.fileLength(target);
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

bool ListHistory(Workspace& ws, const PassSettings& settings, QStringList& lines) {
    lines.clear();
    const auto step = [rules = PassRules(ws)](Files& files, const WorkstationJob& job) {
        WorkstationResult result;
        forEachRule(rules, job, result,
                    [&](const QString&, const QString&, const QString& target, FileError) {
                        FileError error = FileError::None;
                        result.lines += targetLines(
                            files, job.host + QLatin1Char(';') + target + QLatin1Char(';'), target,
                            error);
                        result.failures += error != FileError::None ? 1 : 0;
                        return FileError::None; // every rule is listed
                    });
        return result;
    };
    PassOutcome outcome;
    PassKind kind;
    kind.step = step;
    const bool ended = visitWorkstations(ws, settings, kind, outcome) == PassEnd::Completed;
    lines = outcome.lines + pingFailureLines(ws.passRecords);
    if (ended) {
        TextFile::writeLines(ws.system, ws.state.RunFolder + QStringLiteral("\\Historique.txt"),
                             lines);
    }
    return ended;
}

} // namespace vantrel
