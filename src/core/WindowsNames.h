#pragma once

#include "platform/FileError.h"

#include <QString>

namespace vantrel {

// Whether a Windows share would take this path (below \\HOST, "\" or "/" between
// its parts) as written: no part is a device name (CON, PRN, AUX, NUL, COM1-9,
// LPT1-9, COM and LPT with a superscript 1, 2 or 3, with or without an extension), holds < > : " |
// ? * or a control character, or ends in a dot or a blank. "." and ".." are left to the file
// system. Every backend stands for a Windows share, so a pass tries no other name anywhere.
bool windowsAcceptsPath(const QString& path);

// Why no pass may write target (a path with its file's name last): RefusedName when
// windowsAcceptsPath refuses it, NameTooLongForBackup when the versions it replaces
// could not be kept beside it (its name followed by a 15-character stamp would pass
// the 255 units of a Windows name, whatever the hour); None when a pass may.
FileError targetRefusal(const QString& target);

} // namespace vantrel
