#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace vantrel {

// The board's name column holds `width` characters (18 at least): a longer name is
// shown as its head, "…" and its tail (8 and 9 characters at 18), so the columns stay
// aligned. Names that would then look alike (they differ only in the middle:
// poste-01.batiment-a.exemple.fr and …-b…) show instead their first 4, "…", the
// characters around where they differ, and "…". The rows themselves keep the whole
// names.
class ShortNames {
public:
    ShortNames(const QStringList& rows, int width);
    // A row as the board shows it, its name padded or shortened to the column.
    QString shownRow(const QString& row) const;

private:
    QString headAndTail(const QString& name) const;
    QString aroundTheDifference(const QString& name, const QStringList& alike) const;

    int width_;
    QHash<QString, QString> shortened_; // the long names that look alike
};

} // namespace vantrel
