#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace vantrel {

// The board's name column holds 18 characters: a longer name is shown as its first 8,
// "…" and its last 9, so the columns stay aligned. Names that would then look alike
// (they differ only in the middle: poste-01.batiment-a.exemple.fr and …-b…) show
// instead their first 4, "…", the 12 characters around where they differ, and "…".
// The rows themselves keep the whole names.
class ShortNames {
public:
    explicit ShortNames(const QStringList& rows);
    // A row as the board shows it.
    QString shownRow(const QString& row) const;

private:
    QHash<QString, QString> shortened_; // the long names that look alike
};

} // namespace vantrel
