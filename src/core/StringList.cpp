#include "StringList.h"

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
    beginRemoveRows(QModelIndex(), index, index);
    entries_.removeAt(index);
    endRemoveRows();
    if (selected_ == index) {
        setSelected(-1);
    } else if (selected_ > index) {
        setSelected(selected_ - 1);
    }
}

void StringList::clear() {
    assign(QStringList());
}

void StringList::assign(const QStringList& entries) {
    beginResetModel();
    entries_ = entries;
    endResetModel();
    setSelected(-1);
}

void StringList::setSelected(int index) {
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
