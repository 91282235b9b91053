#include "HistoryListing.h"

#include "Pass.h"
#include "ResultLines.h"
#include "StampedVersions.h"
#include "core/TextFile.h"
#include "core/Workspace.h"

namespace vantrel {
namespace {

// A version's time as its stamp shows it, and how the listing ranked it where the
// stamp alone could not tell.
QString versionTime(const StampedVersion& version) {
    QString text = version.wallTime.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    switch (version.place.placed) {
    case StampOrder::Placed::Once:
        break;
    case StampOrder::Placed::ByPassFolder: {
        const qint64 offsetMinutes = (version.place.wallMs - version.place.instantMs) / 60000;
        text += QStringLiteral(" UTC%1%2:%3 (heure répétée au changement d'heure, rangée selon "
                               "le dossier de la passe)")
                    .arg(QChar(offsetMinutes < 0 ? u'-' : u'+'))
                    .arg(qAbs(offsetMinutes) / 60, 2, 10, QLatin1Char('0'))
                    .arg(qAbs(offsetMinutes) % 60, 2, 10, QLatin1Char('0'));
        break;
    }
    case StampOrder::Placed::Undecided:
        text += QStringLiteral(" (heure répétée au changement d'heure, ordre incertain : "
                               "jamais supprimée par --garder)");
        break;
    case StampOrder::Placed::Skipped:
        text += QStringLiteral(" (heure sautée au changement d'heure, rangée à ce changement)");
        break;
    }
    return text;
}

QStringList targetLines(Files& files, const QString& prefix, const QString& target,
                        const StampOrder& order, FileError& error) {
    std::vector<StampedVersion> versions;
    error = stampedVersions(files, target, order, versions);
    if (error != FileError::None) {
        return {prefix + describe(error)};
    }
    const qint64 live = files.fileLength(target);
    QStringList lines{prefix + (live < 0 ? QStringLiteral("absent;;")
                                         : QStringLiteral("en place;;") + QString::number(live))};
    for (const StampedVersion& version : versions) {
        lines.append(prefix + version.stamp + QLatin1Char(';') + versionTime(version) +
                     QLatin1Char(';') + QString::number(version.size));
    }
    return lines;
}

} // namespace

bool ListHistory(Workspace& ws, const PassSettings& settings, QStringList& lines) {
    lines.clear();
    const auto step = [rules = PassRules(ws),
                       order = StampOrder::ofConsole(ws)](Files& files, const WorkstationJob& job) {
        WorkstationResult result;
        forEachRule(rules, job, result,
                    [&](const QString&, const QString&, const QString& target, FileError) {
                        FileError error = FileError::None;
                        result.lines += targetLines(
                            files, job.host + QLatin1Char(';') + target + QLatin1Char(';'), target,
                            order, error);
                        result.failures += error != FileError::None ? 1 : 0;
                        return FileError::None; // every rule is listed
                    });
        return result;
    };
    PassOutcome outcome;
    PassKind kind;
    kind.step = step;
    const bool ended = visitWorkstations(ws, settings, kind, outcome) == PassEnd::Completed;
    lines = outcome.lines + pingFailureLines(ws.passRecords) + sameWorkstationLines(ws.passRecords);
    if (ended) {
        TextFile::writeLines(ws.system, ws.state.RunFolder + QStringLiteral("\\Historique.txt"),
                             lines);
    }
    return ended;
}

} // namespace vantrel
