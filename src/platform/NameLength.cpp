#include "NameLength.h"

#include <algorithm>

namespace vantrel {
namespace {

qsizetype utf8Length(QStringView text) {
    return text.toUtf8().size();
}

} // namespace

QString besideWithSuffix(const QString& path, const QString& suffix) {
    const qsizetype start =
        std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/'))) + 1;
    QStringView name = QStringView(path).mid(start);
    const qsizetype suffixBytes = utf8Length(suffix);
    const auto chopped = [&name](qsizetype units) {
        // Never half of a surrogate pair.
        const bool split = units < name.size() && name.at(units).isLowSurrogate() && units > 0;
        name.truncate(split ? units - 1 : units);
    };
    chopped(std::clamp<qsizetype>(kMaxNameUnits - suffix.size(), 0, name.size()));
    while (!name.isEmpty() && utf8Length(name) + suffixBytes > kMaxNameUnits) {
        name.chop(name.size() >= 2 && name.back().isLowSurrogate() ? 2 : 1);
    }
    return path.left(start) + name.toString() + suffix;
}

} // namespace vantrel
