#include "DeploymentRun.h"

#include "Pass.h"
#include "Replacement.h"
#include "SourceSnapshots.h"
#include "StampedVersions.h"
#include "TargetCheck.h"
#include "core/Text.h"
#include "core/Workspace.h"

#include <QHash>

#include <algorithm>
#include <vector>

namespace vantrel {
namespace {

// What one rule did on a workstation, for its result line.
struct RuleText {
    QString destination;
    bool created = false; // no live file was there: the copy made the first one
    bool failed = false;
    QString detail; // ";source;destination;error", ";target;inchangé", or ""
};

// The result line after the workstation's name: "Nouveau fichier HOST DESTINATION"
// for the last file created, then each rule's detail and a ";" from that rule on.
// The rules before it give their failures only, so that no reason is lost.
QString resultMessage(const QString& host, const std::vector<RuleText>& rules) {
    const auto lastCreated =
        std::find_if(rules.rbegin(), rules.rend(), [](const RuleText& r) { return r.created; });
    const auto from = lastCreated == rules.rend() ? rules.begin() : lastCreated.base() - 1;
    QString message;
    if (lastCreated != rules.rend()) {
        message =
            QStringLiteral("Nouveau fichier ") + host + QLatin1Char(' ') + lastCreated->destination;
    }
    for (auto rule = rules.begin(); rule != rules.end(); ++rule) {
        if (rule >= from) {
            message += rule->detail + QLatin1Char(';');
        } else if (rule->failed) {
            message += rule->detail;
        }
    }
    return message;
}

// Copies each rule's file to one workstation, keeping the version it replaces under
// the pass's stamp; with onlyIfDifferent, a target that already holds the source's
// bytes is left as it is. After a lost connection the other rules fail untried.
WorkstationResult copyToWorkstation(Files& files, const PassRules& rules,
                                    const SourceSnapshots& snapshots, const PassSettings& options,
                                    const StampOrder& order, const WorkstationJob& job) {
    WorkstationResult result;
    const QString& runStamp = job.runStamp;
    QHash<QString, std::vector<FolderEntry>> listedFolders; // by folder, in lower case
    QStringList replaced;
    std::vector<RuleText> texts;
    const auto copyRule = [&](const QString& source, const QString& destination,
                              const QString& target, FileError refused) {
        // Every workstation gets the pass's copy of the source, never the source itself.
        const SourceSnapshot& snapshot = snapshots.of(source);
        const FileError before = refused != FileError::None ? refused : snapshot.error;
        const TargetCheck check = before == FileError::None && options.onlyIfDifferent
                                      ? compareBeforeCopy(files, snapshot.copy, target)
                                      : TargetCheck{};
        FileError error = before != FileError::None ? before : check.error;
        RuleText text{destination, false, false, QString()};
        QStringList twins;
        if (check.kind == TargetCheck::Kind::Unchanged) {
            text.detail = QLatin1Char(';') + target + QStringLiteral(";inchangé");
        } else if (error == FileError::None) {
            const QString folder = folderOf(target).toLower();
            if (!listedFolders.contains(folder)) {
                listedFolders.insert(folder, removeLeftoverCopies(files, target, job.now));
            }
            twins = caseTwins(listedFolders.value(folder), target);
            error = twins.isEmpty() ? FileError::None : FileError::CaseTwins;
        }
        if (check.kind != TargetCheck::Kind::Unchanged && error == FileError::None) {
            const Replacement done =
                replaceKeepingAside(files, snapshot.copy, target, target + runStamp, runStamp);
            error = done.error;
            text.created = !done.liveKeptAside && error == FileError::None;
            if (error == FileError::None) {
                replaced.append(target);
            }
        }
        if (error != FileError::None) {
            ++result.failures;
            text.failed = true;
            text.detail = QLatin1Char(';') + source + QLatin1Char(';') + destination +
                          QLatin1Char(';') +
                          (twins.isEmpty() ? describe(error) : caseTwinsText(twins));
        }
        texts.push_back(text);
        return error;
    };
    if (forEachRule(rules, job, result, copyRule) == FileError::None && result.finished) {
        keepNewestVersions(files, replaced,
                           KeptVersions{options.keptVersions, runStamp, job.now, order});
    }
    result.message = resultMessage(job.host, texts);
    return result;
}

} // namespace

void DeploymentRun(Workspace& ws, const PassSettings& settings) {
    ws.TimerRécursif.setEnabled(false);
    if (ws.controls.Récursif() > 0) {
        // The next pass of the cycle comes Délai minutes after this one's start.
        ws.TimerRécursif.setDelayMinutes(leadingNumber(ws.controls.Délai()));
        ws.TimerRécursif.setEnabled(true);
    }
    const PassRules rules(ws);
    SourceSnapshots snapshots;
    StampOrder order;
    PassKind kind;
    kind.beforeServing = [&] {
        SourceSnapshots::removeAbandoned(ws);
        if (!snapshots.roomFor(ws, rules.sources)) {
            return false;
        }
        snapshots.take(ws, rules.sources);
        order = StampOrder::ofConsole(ws); // with this pass's own folder
        return true;
    };
    kind.step = [&](Files& files, const WorkstationJob& job) {
        return copyToWorkstation(files, rules, snapshots, settings, order, job);
    };
    kind.journalNotes = [&snapshots] { return snapshots.journalLines(); };
    PassOutcome outcome;
    const PassEnd end = runPass(ws, settings, kind, outcome);
    snapshots.removeCopies(ws);
    if (end == PassEnd::Completed || end == PassEnd::Stopped) {
        // A retry cycle ends after a pass without error, or one the operator stopped.
        ws.TimerRécursif.setEnabled(end == PassEnd::Completed && errorCount(ws.cycleRecords) > 0);
    }
}

void startDeployment(Workspace& ws, const PassSettings& settings) {
    ws.startPass([&ws, settings] { DeploymentRun(ws, settings); });
}

} // namespace vantrel
