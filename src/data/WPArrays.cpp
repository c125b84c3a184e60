#include "data/WPArrays.h"

#include "platform/runtime/Strings.h"

#include <algorithm>

namespace vx {

namespace {

[[noreturn]] void IndexError(int index) {
    throw EListError("List index out of bounds (" + IntToStr(index) + ")");
}

[[noreturn]] void RowError(int row, const char* operation) {
    throw EInvalidelement(IntToStr(row) + ": riga non valida - " + operation);
}

} // namespace

int TWPintegerArray::Add(int32_t value) {
    items_.push_back(value);
    return Count() - 1;
}

void TWPintegerArray::Check(int index) const {
    if (index < 0 || index >= Count())
        IndexError(index);
}

void TWPintegerArray::Delete(int index) {
    Check(index);
    items_.erase(items_.begin() + index);
}

int32_t TWPintegerArray::GetItem(int index) const {
    Check(index);
    return items_[static_cast<size_t>(index)];
}

void TWPintegerArray::SetItem(int index, int32_t value) {
    Check(index);
    items_[static_cast<size_t>(index)] = value;
}

TMatrix::TRow& TMatrix::GetRow(int i) {
    if (!IsRow(i))
        throw EInvalidelement("Riga non valido");
    return rows_[static_cast<size_t>(i)];
}

const TMatrix::TRow& TMatrix::GetRow(int i) const {
    return const_cast<TMatrix*>(this)->GetRow(i);
}

void TMatrix::AddToRow(int row, void* item) {
    if (!IsRow(row))
        RowError(row, "Add");
    rows_[static_cast<size_t>(row)].push_back(item);
}

void TMatrix::InsertInRow(int row, int index, void* item) {
    if (!IsRow(row))
        RowError(row, "Ins");
    TRow& r = rows_[static_cast<size_t>(row)];
    if (index < 0 || index > static_cast<int>(r.size()))
        IndexError(index);
    r.insert(r.begin() + index, item);
}

void TMatrix::SetItem(int col, int row, void* item) {
    if (!IsRow(row) || col < 0 || col >= static_cast<int>(rows_[static_cast<size_t>(row)].size()))
        RowError(row, "Set");
    rows_[static_cast<size_t>(row)][static_cast<size_t>(col)] = item;
}

void* TMatrix::GetItem(int col, int row) const {
    if (!IsRow(row) || col < 0 || col >= static_cast<int>(rows_[static_cast<size_t>(row)].size()))
        RowError(row, "Get");
    return rows_[static_cast<size_t>(row)][static_cast<size_t>(col)];
}

void TMatrix::AddRows(int n) {
    if (n > 0)
        rows_.resize(rows_.size() + static_cast<size_t>(n));
}

void TMatrix::InsertRows(int i, int n) {
    if (i < 0 || i > RowCount())
        IndexError(i);
    if (n > 0)
        rows_.insert(rows_.begin() + i, static_cast<size_t>(n), TRow{});
}

void TMatrix::DeleteRows(int i, int n) {
    if (i < 0)
        IndexError(i);
    if (n <= 0 || i >= RowCount())
        return;
    n = std::min(n, RowCount() - i);
    rows_.erase(rows_.begin() + i, rows_.begin() + i + n);
}

void TMatrix::SetRowCount(int n) {
    if (n < 0)
        throw EListError("List count out of bounds (" + IntToStr(n) + ")");
    rows_.resize(static_cast<size_t>(n));
}

const TClassInfo& TMatrix::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TMatrix>("TMatrix", &TPersistent::StaticClassInfo()).Build();
    return info;
}

namespace {
// Registered for streaming with the unit, as the stored objects expect.
const bool registered = (RegisterClass(TMatrix::StaticClassInfo()), true);
} // namespace

} // namespace vx
