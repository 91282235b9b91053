#pragma once

class QWidget;

namespace vantrel {

class Workspace;

// Asks for the directory's URL (the last one offered), reads the directory on a thread
// of its own — the window goes on meanwhile — then fills the workstation list.
void importFromDirectory(QWidget* parent, Workspace& ws);

} // namespace vantrel
