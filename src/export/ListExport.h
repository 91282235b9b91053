#pragma once

namespace vantrel {

class StringList;
class Workspace;

// The "Listes" menu: show a result list in ListExport, hide it, hand it on.
void erreursPing(Workspace& ws);
void généErreurs(Workspace& ws);
void masqerreurs(Workspace& ws);

void CopyListToClipboard(Workspace& ws, const StringList& list);
void Versclipboard(Workspace& ws);
void VoirErreursnotepad(Workspace& ws);
void dansTableur(Workspace& ws);

} // namespace vantrel
