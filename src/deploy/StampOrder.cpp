#include "StampOrder.h"

#include "Stamps.h"
#include "core/Workspace.h"

namespace vantrel {
namespace {

constexpr qint64 kDayMs = 24 * 3600 * 1000;
// How long after a pass its folder may last be written (its end) and still place it.
constexpr qint64 kRecordWindowMs = 3600 * 1000;

} // namespace

StampOrder::StampOrder(const QTimeZone& zone, const std::vector<FolderEntry>& programFolder)
    : zone_(zone.isValid() ? zone : QTimeZone::utc()) {
    for (const FolderEntry& entry : programFolder) {
        if (entry.folder && entry.modified.isValid() && isRunStamp(entry.name)) {
            passFolderWrittenMs_.insert(stampWallTime(entry.name).toMSecsSinceEpoch(),
                                        entry.modified.toMSecsSinceEpoch());
        }
    }
}

StampOrder StampOrder::ofConsole(Workspace& ws) {
    std::vector<FolderEntry> entries;
    ws.system.listFolder(ws.state.ProgramDir, entries); // none listed: no record
    return StampOrder(ws.clock.now().timeZone(), entries);
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
