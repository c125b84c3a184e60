#pragma once

#include <QAbstractListModel>
#include <QStringList>

#include <functional>
#include <vector>

namespace vx {

// The texts of a list control, with a check box per item where the control shows them. A new
// list goes in as one insertion or removal and one change, so that a view lays out even a
// million items once. Qt's combo box edits it through insertRows, setData and removeRows.
class TextListModel : public QAbstractListModel {
public:
    explicit TextListModel(QObject* parent);

    const QStringList& Texts() const { return texts_; }
    // Items keep their check boxes by position.
    void Replace(const QStringList& texts);

    // Items show check boxes that the user may toggle.
    void SetCheckable(bool checkable) { checkable_ = checkable; }
    bool Checked(int row) const;
    void SetChecked(int row, bool checked);
    // The user toggled the box of a row.
    std::function<void(int row)> OnUserCheck;
    // The icon of a row, for controls that show one.
    std::function<QVariant(int row)> Decoration;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    bool insertRows(int row, int count, const QModelIndex& parent = {}) override;
    bool removeRows(int row, int count, const QModelIndex& parent = {}) override;

private:
    QStringList texts_;
    std::vector<bool> checked_; // one per text
    bool checkable_ = false;
};

} // namespace vx
