#pragma once

#include <QChar>

namespace vantrel {

// Maps a character typed in a date field before the field receives it: letters to
// upper case, the unshifted top row of the French keyboard to digits.
QChar KeyFilter(QChar typed);

} // namespace vantrel
