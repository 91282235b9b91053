#pragma once

#include "platform/Files.h"

#include <QHash>
#include <QString>
#include <QTimeZone>

#include <vector>

namespace vantrel {

class Workspace;

// Ranks pass stamps by the instant they stand for in the console's time zone, so that
// a version put aside later always ranks after one put aside earlier, even across a
// clock change. A wall time the clock showed twice (the hour repeated when clocks go
// back) is placed by the program folder's own record of its passes: the instant (UTC)
// each pass wrote into its folder when it began; for a folder without it, the time the
// folder was last written (that pass's end, or a later copy), by the file system's
// clock, which never repeats. Without such a folder, or one written more than an hour
// after the second instant, its order stays undecided. A wall time the
// clock never showed (the hour skipped when clocks go forward; a stamp written under
// another zone) ranks at the change itself, after the times before it.
class StampOrder {
public:
    enum class Placed {
        Once,         // the wall time stands for one instant
        ByPassFolder, // it stood for two; the pass folder tells which
        Undecided,    // it stood for two, and nothing tells which
        Skipped,      // it stands for none
    };
    struct Place {
        qint64 instantMs = 0; // since the epoch; the earlier one when undecided
        qint64 wallMs = 0;    // the wall time, which orders stamps of one instant
        Placed placed = Placed::Once;
        bool operator<(const Place& other) const {
            return instantMs != other.instantMs ? instantMs < other.instantMs
                                                : wallMs < other.wallMs;
        }
    };

    StampOrder() = default; // in UTC, with no record: every wall time is one instant
    // passStarts: the instant each pass folder records, by the folder's name.
    StampOrder(const QTimeZone& zone, const std::vector<FolderEntry>& programFolder,
               const QHash<QString, QDateTime>& passStarts = {});
    // The console's zone (its clock's) and its program folder's pass folders.
    static StampOrder ofConsole(Workspace& ws);

    Place place(const QDateTime& wallTime) const; // a stamp's, from stampWallTime

private:
    QTimeZone zone_ = QTimeZone::utc();
    QHash<qint64, qint64> passFolderWrittenMs_; // by the wall time of its stamp
    QHash<qint64, qint64> passStartMs_;         // likewise
};

// Writes the pass's first instant, in UTC, into its new folder runFolder.
void recordPassStart(Workspace& ws, const QString& runFolder);

} // namespace vantrel
