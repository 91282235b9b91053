#include "WindowsNames.h"

#include "platform/NameLength.h"

#include <QRegularExpression>

#include <algorithm>

namespace vantrel {
namespace {

bool isDeviceName(const QString& part) {
    // The superscript digits (B9, B2, B3 in Windows-1252) name the same ports.
    static const QRegularExpression device(
        QStringLiteral(
            "^(CON|PRN|AUX|NUL|COM[1-9\\x{B9}\\x{B2}\\x{B3}]|LPT[1-9\\x{B9}\\x{B2}\\x{B3}]) *$"),
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

FileError targetRefusal(const QString& target) {
    constexpr qsizetype kLongestStamp = 15; // yyyymmdd_hhmmss
    if (!windowsAcceptsPath(target)) {
        return FileError::RefusedName;
    }
    const qsizetype name = target.size() - target.lastIndexOf(QLatin1Char('\\')) - 1;
    return name + kLongestStamp > kMaxNameUnits ? FileError::NameTooLongForBackup : FileError::None;
}

} // namespace vantrel
