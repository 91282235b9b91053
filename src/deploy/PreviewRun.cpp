#include "PreviewRun.h"

#include "Pass.h"
#include "ResultLines.h"
#include "TargetCheck.h"
#include "core/TextFile.h"
#include "core/Workspace.h"

namespace vantrel {
namespace {

QString actionText(const TargetCheck& check, const QString& target, const QString& runStamp) {
    switch (check.kind) {
    case TargetCheck::Kind::Absent:
        return QStringLiteral("nouveau");
    case TargetCheck::Kind::Present:
        return QStringLiteral("remplacé, sauvegarde ") + nameOf(target) + runStamp;
    case TargetCheck::Kind::Unchanged:
        return QStringLiteral("inchangé");
    case TargetCheck::Kind::Failure:
        break;
    }
    return describe(check.error);
}

WorkstationResult previewWorkstation(Files& files, const PassRules& rules, bool compare,
                                     const WorkstationJob& job) {
    WorkstationResult result;
    forEachRule(rules, job, result,
                [&](const QString& source, const QString&, const QString& target, FileError lost) {
                    const TargetCheck check = lost != FileError::None
                                                  ? TargetCheck{TargetCheck::Kind::Failure, lost}
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
    PassKind kind;
    kind.step = [rules = PassRules(ws),
                 compare = settings.onlyIfDifferent](Files& files, const WorkstationJob& job) {
        return previewWorkstation(files, rules, compare, job);
    };
    const bool ended = visitWorkstations(ws, settings, kind, outcome) == PassEnd::Completed;
    lines = pingFailureLines(ws.passRecords) + outcome.lines;
    if (ended) {
        TextFile::writeLines(ws.system, ws.state.RunFolder + QStringLiteral("\\Simulation.txt"),
                             lines);
    }
    return ended;
}

} // namespace vantrel
