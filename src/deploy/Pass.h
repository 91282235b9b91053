#pragma once

#include <QString>

#include "platform/FileError.h"

#include <functional>

namespace vantrel {

class Workspace;

// What a pass does on one workstation that answered; false when the program was
// asked to end before it was done.
using WorkstationStep = std::function<bool(Workspace& ws, const QString& host)>;

// The steps every pass shares: the program folder locked, a stamp and a pass folder
// of its own, the ping sweep, then step on each workstation that answered, the board
// rows and the journal. False when the pass could not run to its end.
bool runPass(Workspace& ws, const WorkstationStep& step);
// The same without the board and the journal: the program folder locked while the
// workstations are swept and visited, the result rows made. False when it could not
// run to its end.
bool visitWorkstations(Workspace& ws, const WorkstationStep& step);

// Marks the pass as running for as long as it lasts, whatever way it ends.
class PassGuard {
public:
    explicit PassGuard(Workspace& ws);
    ~PassGuard();
    PassGuard(const PassGuard&) = delete;
    PassGuard& operator=(const PassGuard&) = delete;

private:
    Workspace& ws_;
};

// The file a rule makes on a workstation: \\HOST + destination + the source's name.
QString ruleTarget(const QString& host, const QString& source, const QString& destination);
// A target's folder (without the final backslash) and its name.
QString folderOf(const QString& target);
QString nameOf(const QString& target);

// A workstation that stopped answering: its other rules would each wait as long.
bool isLostWorkstation(FileError error);

// The result lines of one workstation: failures counted, message after its name.
void recordWorkstation(Workspace& ws, const QString& host, int failures, const QString& message);

} // namespace vantrel
