#pragma once

#include <QString>

namespace vantrel {

class Workspace;

// The text between the first startMarker and the next endMarker; "####" when a
// marker is missing.
QString ExtractBetween(const QString& text, const QString& startMarker, const QString& endMarker);

QString PingOutputFile(const Workspace& ws, int index);

// Pings every workstation of L_PostesenCours at once, waits ten seconds, then
// classifies each from its transcript's loss ("Ping Ok" / "PingFail").
// False when it stopped before every workstation was classified.
bool PingSweep(Workspace& ws);

} // namespace vantrel
