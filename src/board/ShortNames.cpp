#include "ShortNames.h"

#include <algorithm>

namespace vantrel {
namespace {

constexpr int kShortHead = 4;
const QChar kEllipsis(0x2026);

QString nameOf(const QString& row) {
    return row.left(row.indexOf(QLatin1Char(';')));
}

qsizetype commonPrefix(const QString& a, const QString& b) {
    const qsizetype n = std::min(a.size(), b.size());
    qsizetype i = 0;
    while (i < n && a.at(i) == b.at(i)) {
        ++i;
    }
    return i;
}

} // namespace

QString ShortNames::headAndTail(const QString& name) const {
    const int head = (width_ - 1) / 2;
    return name.left(head) + kEllipsis + name.right(width_ - head - 1);
}

// The window of a name that holds where it differs from each name it looks like: the
// first and the last of those places when the window spans both, else the last.
QString ShortNames::aroundTheDifference(const QString& name, const QStringList& alike) const {
    const int middle = width_ - kShortHead - 2;
    qsizetype first = name.size();
    qsizetype last = 0;
    for (const QString& other : alike) {
        if (other != name) {
            const qsizetype differsAt = commonPrefix(name, other);
            first = std::min(first, differsAt);
            last = std::max(last, differsAt);
        }
    }
    const qsizetype centre = last - first < middle ? (first + last) / 2 : last;
    const qsizetype start = std::clamp<qsizetype>(
        centre - middle / 2, kShortHead, std::max<qsizetype>(kShortHead, name.size() - middle));
    return name.left(kShortHead) + kEllipsis + name.mid(start, middle).leftJustified(middle) +
           kEllipsis;
}

ShortNames::ShortNames(const QStringList& rows, int width) : width_(width) {
    QHash<QString, QStringList> byShortForm;
    for (const QString& row : rows) {
        const QString name = nameOf(row);
        if (name.size() > width_) {
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
    if (end <= 0) {
        return row; // a line of text, or fields without a name: nothing to align
    }
    const QString name = row.left(end);
    if (end <= width_) {
        return name.leftJustified(width_) + row.mid(end);
    }
    return shortened_.value(name, headAndTail(name)) + row.mid(end);
}

} // namespace vantrel
