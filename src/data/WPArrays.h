#pragma once

#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Meta.h"

#include <cstdint>
#include <vector>

namespace vx {

class EInvalidelement : public Exception {
    using Exception::Exception;
};

// A list of 32-bit integers. Out-of-range access raises EListError.
class TWPintegerArray : public TPersistent {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    // Returns the new item's index.
    int Add(int32_t value);
    void Delete(int index);
    int32_t GetItem(int index) const;
    void SetItem(int index, int32_t value);
    void Clear() { items_.clear(); }

private:
    void Check(int index) const;
    std::vector<int32_t> items_;
};

// Rows of untyped item pointers. The matrix owns its rows but not the items: whoever puts an
// item in frees it. Row checks raise EInvalidelement with the texts the callers know.
class TMatrix : public TPersistent {
public:
    using TRow = std::vector<void*>;

    int RowCount() const { return static_cast<int>(rows_.size()); }
    // "Riga non valido" when i is not a row.
    TRow& GetRow(int i);
    const TRow& GetRow(int i) const;
    // "<row>: riga non valida - Add" / "- Ins"; an index outside the row raises EListError.
    void AddToRow(int row, void* item);
    void InsertInRow(int row, int index, void* item);
    // "<row>: riga non valida - Set" / "- Get" when row or col is outside the matrix.
    void SetItem(int col, int row, void* item);
    void* GetItem(int col, int row) const;
    template <class T>
    T* GetItemAs(int col, int row) const {
        return static_cast<T*>(GetItem(col, row));
    }

    void AddRows(int n);
    // i from 0 to RowCount; anything else raises EListError.
    void InsertRows(int i, int n);
    // Removes up to n rows from i (the rows present); the items are not freed.
    void DeleteRows(int i, int n);
    // Appends empty rows or removes rows from the end; a negative count raises EListError.
    void SetRowCount(int n);

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

private:
    bool IsRow(int i) const { return i >= 0 && i < RowCount(); }
    std::vector<TRow> rows_;
};

} // namespace vx
