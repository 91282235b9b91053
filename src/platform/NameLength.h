#pragma once

#include <QString>

namespace vantrel {

// The longest name Windows takes for one file, in UTF-16 units.
constexpr qsizetype kMaxNameUnits = 255;

// The name of the program's own file beside path (its last name followed by suffix),
// with that last name cut at its end where needed so that the whole name fits in
// kMaxNameUnits and in 255 bytes of UTF-8 (what Linux takes): a temporary never
// makes a name that Windows takes fail. Always the same cut for the same path.
QString besideWithSuffix(const QString& path, const QString& suffix);

} // namespace vantrel
