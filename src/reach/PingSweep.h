#pragma once

#include "core/WorkstationRecord.h"

#include <QString>

namespace vantrel {

class Workspace;

// The text between the first startMarker and the next endMarker; "####" when a
// marker is missing.
QString ExtractBetween(const QString& text, const QString& startMarker, const QString& endMarker);

QString PingOutputFile(const Workspace& ws, int index);

// Pings every workstation of the pass at once (a duplicate is not pinged again),
// waits until every transcript is in (ten seconds at most, or a stop), then reads
// each one's loss and address from its transcript into its record; one that did not
// answer is left alone, one that reaches the same workstation as an earlier entry or
// one served earlier in the cycle is the same workstation (markSameWorkstations). False when it
// stopped before every workstation was read: the message says why, or the program was asked to end.
bool PingSweep(Workspace& ws, PassRecords& records, const PassRecords& cycle = {});

} // namespace vantrel
