#include "PreviewRun.h"

#include "Pass.h"
#include "ResultLines.h"
#include "SourceSnapshots.h"
#include "TargetCheck.h"
#include "core/TextFile.h"
#include "core/Workspace.h"

#include <QHash>

namespace vantrel {
namespace {

// Whether a share takes a write is known only by writing there: the preview says so.
const QString kWriteUntried = QStringLiteral(" (écriture non essayée)");

// Why each source cannot be copied, None for those that can.
using SourceErrors = QHash<QString, FileError>;

QString actionText(const TargetCheck& check, const QString& target, const QString& runStamp) {
    switch (check.kind) {
    case TargetCheck::Kind::Absent:
        return QStringLiteral("nouveau") + kWriteUntried;
    case TargetCheck::Kind::Present:
        return QStringLiteral("remplacé, sauvegarde ") + nameOf(target) + runStamp + kWriteUntried;
    case TargetCheck::Kind::Unchanged:
        return QStringLiteral("inchangé");
    case TargetCheck::Kind::Failure:
        break;
    }
    return describe(check.error);
}

WorkstationResult previewWorkstation(Files& files, const PassRules& rules,
                                     const SourceErrors& sources, bool compare,
                                     const WorkstationJob& job) {
    WorkstationResult result;
    forEachRule(
        rules, job, result,
        [&](const QString& source, const QString&, const QString& target, FileError refused) {
            const FileError before =
                refused != FileError::None ? refused : sources.value(source.toCaseFolded());
            const TargetCheck check = before != FileError::None
                                          ? TargetCheck{TargetCheck::Kind::Failure, before}
                                          : inspectTarget(files, source, target, compare);
            result.failures += check.kind == TargetCheck::Kind::Failure ? 1 : 0;
            result.lines.append(job.host + QLatin1Char(';') + target + QLatin1Char(';') +
                                actionText(check, target, job.runStamp));
            return check.error;
        });
    return result;
}

} // namespace

bool PreviewRun(Workspace& ws, const PassSettings& settings, QStringList& lines) {
    PassGuard running(ws);
    ws.TimerRécursif.setEnabled(false);
    PassOutcome outcome;
    const PassRules rules(ws);
    SourceErrors sources;
    PassKind kind;
    // Each source checked once, as the pass will take it.
    kind.beforeServing = [&] {
        for (const QString& source : rules.sources) {
            sources.insert(source.toCaseFolded(), checkSource(ws.system, source));
        }
        return true;
    };
    kind.step = [&, compare = settings.onlyIfDifferent](Files& files, const WorkstationJob& job) {
        return previewWorkstation(files, rules, sources, compare, job);
    };
    const bool ended = visitWorkstations(ws, settings, kind, outcome) == PassEnd::Completed;
    lines = pingFailureLines(ws.passRecords) + outcome.lines + sameWorkstationLines(ws.passRecords);
    if (ended) {
        TextFile::writeLines(ws.system, ws.state.RunFolder + QStringLiteral("\\Simulation.txt"),
                             lines);
    }
    return ended;
}

} // namespace vantrel
