#include "StampOrder.h"

#include "Stamps.h"
#include "core/TextFile.h"
#include "core/Workspace.h"

namespace vantrel {
namespace {

constexpr qint64 kDayMs = 24 * 3600 * 1000;
// How long after a pass its folder may last be written (its end) and still place it.
constexpr qint64 kRecordWindowMs = 3600 * 1000;
// How far from the instant its stamp stands for a pass may have begun: the stamp is
// taken a few seconds in, and moves on by a second for each pass folder in the way.
constexpr qint64 kStartWindowMs = 120 * 1000;
const QString kPassStartFile = QStringLiteral("\\Début UTC.txt");

} // namespace

StampOrder::StampOrder(const QTimeZone& zone, const std::vector<FolderEntry>& programFolder,
                       const QHash<QString, QDateTime>& passStarts)
    : zone_(zone.isValid() ? zone : QTimeZone::utc()) {
    for (const FolderEntry& entry : programFolder) {
        if (!entry.folder || !isRunStamp(entry.name)) {
            continue;
        }
        const qint64 wallMs = stampWallTime(entry.name).toMSecsSinceEpoch();
        if (const QDateTime start = passStarts.value(entry.name); start.isValid()) {
            passStartMs_.insert(wallMs, start.toMSecsSinceEpoch());
        }
        if (entry.modified.isValid()) {
            passFolderWrittenMs_.insert(wallMs, entry.modified.toMSecsSinceEpoch());
        }
    }
}

StampOrder StampOrder::ofConsole(Workspace& ws) {
    std::vector<FolderEntry> entries;
    ws.system.listFolder(ws.state.ProgramDir, entries); // none listed: no record
    const QTimeZone zone = ws.clock.now().timeZone();
    // Only the passes of a repeated hour need their record read.
    const StampOrder byFolders(zone, entries);
    QHash<QString, QDateTime> starts;
    for (const FolderEntry& entry : entries) {
        if (!entry.folder || !isRunStamp(entry.name)) {
            continue;
        }
        const Placed placed = byFolders.place(stampWallTime(entry.name)).placed;
        QStringList lines;
        if ((placed == Placed::ByPassFolder || placed == Placed::Undecided) &&
            TextFile::readLines(ws.system, ws.state.ProgramDir + entry.name + kPassStartFile,
                                lines) == FileError::None &&
            !lines.isEmpty()) {
            const QDateTime start = QDateTime::fromString(lines.first(), Qt::ISODate);
            if (start.isValid() && start.timeSpec() == Qt::UTC) {
                starts.insert(entry.name, start);
            }
        }
    }
    return StampOrder(zone, entries, starts);
}

void recordPassStart(Workspace& ws, const QString& runFolder) {
    // Not written: the folder's own time stands in.
    TextFile::writeLines(ws.system, runFolder + kPassStartFile,
                         {ws.clock.now().toUTC().toString(Qt::ISODate)});
}

// The zone's offsets a day before and a day after are the only two a wall time can
// have: clocks change at most twice a year. Each of the two instants that shows this
// wall time in the zone is one the stamp stands for.
StampOrder::Place StampOrder::place(const QDateTime& wallTime) const {
    Place place;
    place.wallMs = wallTime.toMSecsSinceEpoch();
    const auto instantWithOffsetAt = [this, &place](qint64 shiftMs) {
        const QDateTime probe = QDateTime::fromMSecsSinceEpoch(place.wallMs + shiftMs, Qt::UTC);
        return place.wallMs - 1000LL * zone_.offsetFromUtc(probe);
    };
    const auto shows = [this, &place](qint64 instantMs) {
        const QDateTime instant = QDateTime::fromMSecsSinceEpoch(instantMs, Qt::UTC);
        return instantMs + 1000LL * zone_.offsetFromUtc(instant) == place.wallMs;
    };
    const qint64 withOffsetBefore = instantWithOffsetAt(-kDayMs);
    const qint64 withOffsetAfter = instantWithOffsetAt(kDayMs);
    const qint64 earlier = std::min(withOffsetBefore, withOffsetAfter);
    const qint64 later = std::max(withOffsetBefore, withOffsetAfter);
    const bool atEarlier = shows(earlier);
    const bool atLater = later != earlier && shows(later);
    if (atEarlier != atLater) {
        place.instantMs = atEarlier ? earlier : later;
    } else if (!atEarlier) {
        place.placed = Placed::Skipped;
        const QTimeZone::OffsetData change =
            zone_.nextTransition(QDateTime::fromMSecsSinceEpoch(earlier, Qt::UTC));
        place.instantMs = change.atUtc.isValid() ? change.atUtc.toMSecsSinceEpoch() : later;
    } else if (const auto start = passStartMs_.constFind(place.wallMs);
               start != passStartMs_.constEnd() &&
               std::min(qAbs(*start - earlier), qAbs(*start - later)) <= kStartWindowMs) {
        place.placed = Placed::ByPassFolder;
        place.instantMs = qAbs(*start - later) < qAbs(*start - earlier) ? later : earlier;
    } else {
        // A folder written before the first instant or long after the second is not
        // that pass's record as it was left.
        const auto written = passFolderWrittenMs_.constFind(place.wallMs);
        const bool recorded = written != passFolderWrittenMs_.constEnd() && *written >= earlier &&
                              *written < later + kRecordWindowMs;
        place.placed = recorded ? Placed::ByPassFolder : Placed::Undecided;
        place.instantMs = recorded && *written >= later ? later : earlier;
    }
    return place;
}

} // namespace vantrel
