#include "ShortNames.h"

#include "BoardRules.h"

#include <algorithm>

namespace vantrel {
namespace {

constexpr int kHead = 8;
constexpr int kShortHead = 4;
constexpr int kMiddle = kBoardNameWidth - kShortHead - 2;
const QChar kEllipsis(0x2026);

QString nameOf(const QString& row) {
    return row.left(row.indexOf(QLatin1Char(';')));
}

QString headAndTail(const QString& name) {
    return name.left(kHead) + kEllipsis + name.right(kBoardNameWidth - kHead - 1);
}

qsizetype commonPrefix(const QString& a, const QString& b) {
    const qsizetype n = std::min(a.size(), b.size());
    qsizetype i = 0;
    while (i < n && a.at(i) == b.at(i)) {
        ++i;
    }
    return i;
}

// The window of a name that holds where it differs from the names it looks like.
QString aroundTheDifference(const QString& name, const QStringList& alike) {
    qsizetype differsAt = 0;
    for (const QString& other : alike) {
        if (other != name) {
            differsAt = std::max(differsAt, commonPrefix(name, other));
        }
    }
    const qsizetype start =
        std::clamp<qsizetype>(differsAt - kMiddle / 2, kShortHead,
                              std::max<qsizetype>(kShortHead, name.size() - kMiddle));
    return name.left(kShortHead) + kEllipsis + name.mid(start, kMiddle).leftJustified(kMiddle) +
           kEllipsis;
}

} // namespace

ShortNames::ShortNames(const QStringList& rows) {
    QHash<QString, QStringList> byShortForm;
    for (const QString& row : rows) {
        const QString name = nameOf(row);
        if (name.size() > kBoardNameWidth) {
            QStringList& alike = byShortForm[headAndTail(name)];
            if (!alike.contains(name)) {
                alike.append(name);
            }
        }
    }
    for (const QStringList& alike : std::as_const(byShortForm)) {
        if (alike.size() < 2) {
            continue;
        }
        for (const QString& name : alike) {
            shortened_.insert(name, aroundTheDifference(name, alike));
        }
    }
}

QString ShortNames::shownRow(const QString& row) const {
    const qsizetype end = row.indexOf(QLatin1Char(';'));
    if (end <= kBoardNameWidth) {
        return row;
    }
    const QString name = row.left(end);
    return shortened_.value(name, headAndTail(name)) + row.mid(end);
}

} // namespace vantrel
