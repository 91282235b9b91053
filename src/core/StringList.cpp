#include "StringList.h"

#include <QScopedValueRollback>

namespace vantrel {

StringList::StringList(QObject* parent) : QAbstractListModel(parent) {}

void StringList::append(const QString& entry) {
    const int row = count();
    beginInsertRows(QModelIndex(), row, row);
    entries_.append(entry);
    endInsertRows();
}

void StringList::removeAt(int index) {
    if (index < 0 || index >= count()) {
        return;
    }
    const int kept = selected_ == index ? -1 : selected_ > index ? selected_ - 1 : selected_;
    {
        // A view moves its current row to a neighbour while rows go; that is not a
        // selection the operator made.
        const QScopedValueRollback<bool> guard(changingRows_, true);
        beginRemoveRows(QModelIndex(), index, index);
        entries_.removeAt(index);
        endRemoveRows();
    }
    selected_ = kept;
    emit selectionChanged(selected_); // views resynchronise even when the index is unchanged
}

void StringList::clear() {
    assign(QStringList());
}

void StringList::assign(const QStringList& entries) {
    {
        const QScopedValueRollback<bool> guard(changingRows_, true);
        beginResetModel();
        entries_ = entries;
        endResetModel();
    }
    selected_ = -1;
    emit selectionChanged(selected_);
}

void StringList::replace(int index, const QString& entry) {
    entries_[index] = entry;
    emit dataChanged(this->index(index), this->index(index));
}

void StringList::setSelected(int index) {
    if (changingRows_) {
        return;
    }
    const int bounded = (index >= 0 && index < count()) ? index : -1;
    if (bounded == selected_) {
        return;
    }
    selected_ = bounded;
    emit selectionChanged(selected_);
}

void StringList::setVisible(bool visible) {
    if (visible == visible_) {
        return;
    }
    visible_ = visible;
    emit visibilityChanged(visible_);
}

int StringList::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant StringList::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= count() ||
        (role != Qt::DisplayRole && role != Qt::EditRole)) {
        return QVariant();
    }
    return entries_.at(index.row());
}

} // namespace vantrel
