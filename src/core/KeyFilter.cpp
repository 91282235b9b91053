#include "KeyFilter.h"

#include <QString>

namespace vantrel {

QChar KeyFilter(QChar typed) {
    static const QString topRow = QStringLiteral("&é\"'(-è_çà");
    static const QString digits = QStringLiteral("1234567890");
    const char16_t c = typed.unicode();
    if (c >= u'a' && c <= u'z') {
        return QChar(char16_t(c - u'a' + u'A'));
    }
    const qsizetype i = topRow.indexOf(typed);
    if (i >= 0) {
        return digits.at(i);
    }
    switch (c) {
    case u'*':
        return QLatin1Char('-');
    case u',':
    case u';':
        return QLatin1Char('.');
    case u'?':
        return QLatin1Char('X');
    default:
        return typed;
    }
}

} // namespace vantrel
