#include "WindowsNames.h"

#include <QRegularExpression>

#include <algorithm>

namespace vantrel {
namespace {

bool isDeviceName(const QString& part) {
    static const QRegularExpression device(
        QStringLiteral("^(CON|PRN|AUX|NUL|COM[1-9]|LPT[1-9]) *$"),
        QRegularExpression::CaseInsensitiveOption);
    return device.match(part.section(QLatin1Char('.'), 0, 0)).hasMatch();
}

bool windowsAcceptsPart(const QString& part) {
    if (part == QLatin1String(".") || part == QLatin1String("..")) {
        return true;
    }
    if (part.endsWith(QLatin1Char('.')) || part.endsWith(QLatin1Char(' ')) || isDeviceName(part)) {
        return false;
    }
    for (const QChar c : part) {
        if (c.unicode() < 32 || QStringLiteral("<>:\"|?*").contains(c)) {
            return false;
        }
    }
    return true;
}

} // namespace

bool windowsAcceptsPath(const QString& path) {
    static const QRegularExpression separators(QStringLiteral("[\\\\/]"));
    const QStringList parts = path.split(separators, Qt::SkipEmptyParts);
    return std::all_of(parts.begin(), parts.end(), windowsAcceptsPart);
}

} // namespace vantrel
