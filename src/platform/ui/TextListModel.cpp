#include "platform/ui/TextListModel.h"

#include <algorithm>

namespace vx {

TextListModel::TextListModel(QObject* parent) : QAbstractListModel(parent) {}

void TextListModel::Replace(const QStringList& texts) {
    if (texts == texts_)
        return;
    const int before = static_cast<int>(texts_.size());
    const int after = static_cast<int>(texts.size());
    if (after > before) {
        beginInsertRows({}, before, after - 1);
        texts_ = texts;
        checked_.resize(texts_.size());
        endInsertRows();
    } else if (after < before) {
        beginRemoveRows({}, after, before - 1);
        texts_ = texts;
        checked_.resize(texts_.size());
        endRemoveRows();
    } else {
        texts_ = texts;
    }
    const int common = std::min(before, after);
    if (common > 0)
        emit dataChanged(index(0), index(common - 1), {Qt::DisplayRole, Qt::EditRole});
}

bool TextListModel::Checked(int row) const {
    return row >= 0 && row < rowCount() && checked_[static_cast<size_t>(row)];
}

void TextListModel::SetChecked(int row, bool checked) {
    if (row < 0 || row >= rowCount() || checked_[static_cast<size_t>(row)] == checked)
        return;
    checked_[static_cast<size_t>(row)] = checked;
    emit dataChanged(index(row), index(row), {Qt::CheckStateRole});
}

int TextListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(texts_.size());
}

QVariant TextListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return texts_[index.row()];
    case Qt::CheckStateRole:
        if (checkable_)
            return Checked(index.row()) ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::DecorationRole:
        return Decoration ? Decoration(index.row()) : QVariant();
    default:
        return {};
    }
}

Qt::ItemFlags TextListModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (checkable_)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

bool TextListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.row() >= rowCount())
        return false;
    if (role == Qt::CheckStateRole) {
        // Only the view writes check states: a toggle by the user.
        if (!checkable_)
            return false;
        const bool checked = value.toInt() == Qt::Checked;
        if (checked == Checked(index.row()))
            return true;
        SetChecked(index.row(), checked);
        if (OnUserCheck)
            OnUserCheck(index.row());
        return true;
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return false;
    texts_[index.row()] = value.toString();
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

bool TextListModel::insertRows(int row, int count, const QModelIndex& parent) {
    if (parent.isValid() || count < 1 || row < 0 || row > rowCount())
        return false;
    beginInsertRows({}, row, row + count - 1);
    texts_.insert(row, count, QString());
    checked_.insert(checked_.begin() + row, static_cast<size_t>(count), false);
    endInsertRows();
    return true;
}

bool TextListModel::removeRows(int row, int count, const QModelIndex& parent) {
    if (parent.isValid() || count < 1 || row < 0 || row + count > rowCount())
        return false;
    beginRemoveRows({}, row, row + count - 1);
    texts_.remove(row, count);
    checked_.erase(checked_.begin() + row, checked_.begin() + row + count);
    endRemoveRows();
    return true;
}

} // namespace vx
