#pragma once

#include <QDateTime>
#include <QString>

namespace vantrel {

// A pass's stamp: yyyymmdd_hhmmss, or yyyymmdd_hmmss before ten o'clock, as the
// date-stamp command writes it. It names the pass folder and ends the name of every
// version a pass put aside on the workstations.
bool isRunStamp(const QString& stamp);
QString stampOf(const QDateTime& time);
// The date and time a stamp stands for; invalid when it stands for none.
QDateTime stampTime(const QString& stamp);

} // namespace vantrel
