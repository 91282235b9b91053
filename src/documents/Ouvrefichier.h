#pragma once

#include <QString>

namespace vantrel {

class Workspace;

// The filter of the standard dialog for an extension given as "LPO", ".LPO" or "*.LPO".
QString fileDialogFilter(const QString& extension);

// Asks for a path: an open dialog when caption begins with "C", a save dialog when
// it begins with "E". Returns "" when nothing was chosen; leaves the choice split.
QString Ouvrefichier(Workspace& ws, const QString& caption, const QString& initialPath,
                     const QString& extension);

} // namespace vantrel
