#include "data/WPArrays.h"
#include "platform/runtime/Meta.h"

#include <gtest/gtest.h>

#include <functional>

using namespace vx;

namespace {

std::string MessageOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const Exception& e) {
        return e.Message;
    }
    return "no error";
}

} // namespace

TEST(WPArraysTest, IntegerArray) {
    TWPintegerArray a;
    EXPECT_EQ(a.Add(5), 0);
    EXPECT_EQ(a.Add(-7), 1);
    a.Add(9);
    a.Delete(0);
    EXPECT_EQ(a.Count(), 2);
    EXPECT_EQ(a.GetItem(0), -7);
    a.SetItem(1, 42);
    EXPECT_EQ(a.GetItem(1), 42);
    EXPECT_EQ(MessageOf([&] { a.GetItem(2); }), "List index out of bounds (2)");
    EXPECT_EQ(MessageOf([&] { a.Delete(-1); }), "List index out of bounds (-1)");
    a.Clear();
    EXPECT_EQ(a.Count(), 0);
}

TEST(WPArraysTest, MatrixRowsAndItems) {
    TMatrix m;
    m.AddRows(2);
    int a = 1, b = 2, c = 3;
    m.AddToRow(0, &a);
    m.AddToRow(0, &c);
    m.InsertInRow(0, 1, &b);
    m.AddToRow(1, &c);
    EXPECT_EQ(m.GetRow(0).size(), 3u);
    EXPECT_EQ(m.GetItemAs<int>(1, 0), &b);
    m.SetItem(0, 1, &a);
    EXPECT_EQ(m.GetItem(0, 1), &a);

    m.InsertRows(0, 1);
    EXPECT_EQ(m.RowCount(), 3);
    EXPECT_TRUE(m.GetRow(0).empty());
    EXPECT_EQ(m.GetItem(2, 1), &c);
    m.DeleteRows(1, 10); // cut to the rows present; the items stay alive
    EXPECT_EQ(m.RowCount(), 1);
    m.SetRowCount(4);
    EXPECT_EQ(m.RowCount(), 4);
    m.SetRowCount(2);
    EXPECT_EQ(m.RowCount(), 2);
}

TEST(WPArraysTest, MatrixErrorsCarryTheRowAndTheOperation) {
    TMatrix m;
    m.AddRows(3);
    int x = 0;
    m.AddToRow(1, &x);
    struct Case {
        std::function<void()> call;
        const char* message;
    } cases[] = {
        {[&] { m.GetItem(0, 5); }, "5: riga non valida - Get"},
        {[&] { m.GetItem(1, 1); }, "1: riga non valida - Get"},
        {[&] { m.GetItem(0, -1); }, "-1: riga non valida - Get"},
        {[&] { m.SetItem(0, 0, &x); }, "0: riga non valida - Set"},
        {[&] { m.SetItem(0, 3, &x); }, "3: riga non valida - Set"},
        {[&] { m.AddToRow(3, &x); }, "3: riga non valida - Add"},
        {[&] { m.InsertInRow(7, 0, &x); }, "7: riga non valida - Ins"},
        {[&] { m.GetRow(3); }, "Riga non valido"},
        {[&] { m.GetRow(-1); }, "Riga non valido"},
    };
    for (const Case& c : cases) {
        EXPECT_THROW(c.call(), EInvalidelement) << c.message;
        EXPECT_EQ(MessageOf(c.call), c.message);
    }
    EXPECT_THROW(m.InsertInRow(1, 5, &x), EListError);
    EXPECT_THROW(m.InsertRows(4, 1), EListError);
    EXPECT_EQ(GetClass("TMatrix"), &TMatrix::StaticClassInfo());
}
