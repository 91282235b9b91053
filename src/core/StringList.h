#pragma once

#include <QAbstractListModel>
#include <QStringList>

namespace vantrel {

// One of the program's ordered lists: entries indexed from 0, a selection index
// (-1 for none) and a visible flag. Views bind to it as a list model.
class StringList : public QAbstractListModel {
    Q_OBJECT
public:
    explicit StringList(QObject* parent = nullptr);

    int count() const { return static_cast<int>(entries_.size()); }
    bool isEmpty() const { return entries_.isEmpty(); }
    const QString& at(int index) const { return entries_.at(index); }
    const QStringList& entries() const { return entries_; }

    void append(const QString& entry);
    void removeAt(int index);
    void clear();
    // Replaces every entry at once (loads and copies).
    void assign(const QStringList& entries);
    void replace(int index, const QString& entry);

    // The selection only changes through setSelected: a removal or a reload leaves
    // none (or keeps the one that was above the removed entry).
    int selected() const { return selected_; }
    void setSelected(int index);

    bool isVisible() const { return visible_; }
    void setVisible(bool visible);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

signals:
    void selectionChanged(int index);
    void visibilityChanged(bool visible);

private:
    QStringList entries_;
    int selected_ = -1;
    bool visible_ = true;
    bool changingRows_ = false;
};

// ClearList: empties the list.
inline void ClearList(StringList& list) {
    list.clear();
}
// CopyList: target becomes a copy of source.
inline void CopyList(const StringList& source, StringList& target) {
    target.assign(source.entries());
}

} // namespace vantrel
