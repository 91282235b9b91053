#pragma once

#include <QString>

namespace vantrel {

// Whether a Windows share would take this path (below \\HOST, "\" or "/" between
// its parts) as written: no part is a device name (CON, PRN, AUX, NUL, COM1-9,
// LPT1-9, with or without an extension), holds < > : " | ? * or a control
// character, or ends in a dot or a blank. "." and ".." are left to the file system.
// Every backend stands for a Windows share, so a pass tries no other name anywhere.
bool windowsAcceptsPath(const QString& path);

} // namespace vantrel
