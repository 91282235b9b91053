#pragma once

#include <QDateTime>
#include <QString>

namespace vantrel {

// A pass's stamp: yyyymmdd_hhmmss, or yyyymmdd_hmmss before ten o'clock, as the
// date-stamp command writes it. It names the pass folder and ends the name of every
// version a pass put aside on the workstations. It is a wall-clock time: in a time
// zone it may stand for two instants (the hour repeated when clocks go back) or for
// none (the hour skipped when they go forward), and it is a stamp all the same.
bool isRunStamp(const QString& stamp);
QString stampOf(const QDateTime& time);
// The date and time of day a stamp shows, as a QDateTime in UTC that stands for that
// wall time and no zone; invalid when it shows none.
QDateTime stampWallTime(const QString& stamp);
// What a clock shows at time, in the same form.
QDateTime wallTimeOf(const QDateTime& time);

} // namespace vantrel
