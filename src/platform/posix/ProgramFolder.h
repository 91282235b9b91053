#pragma once

#include <QString>

namespace vantrel {

// The folder the program keeps its settings and pass folders in. Its own folder when
// it may write there (a build, an unpacked copy); an installed program's folder is
// not the user's to write (under /usr/), so the user's ~/.local/share/vantrel then, made at first
// start with the help file and the lights copied from beside the program. VANTREL_HOME, when set,
// names it instead. "" when no such folder can be had.
QString programFolder(const QString& environmentHome, const QString& executableFolder);

} // namespace vantrel
