#pragma once

#include "data/Border.h"
#include "platform/graphics/Font.h"
#include "platform/runtime/Geometry.h"
#include "platform/runtime/StringList.h"
#include "report/canvasObj.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vx {

class TDatabuffer;

// The legend of a graph: one entry per loaded test in a grid of rows and columns, each with
// a sample of the test's line and marker, its file name, a common text whose placeholders
// are filled from the test's header cells, and the test's comment.
class Tlegenda : public TcanvasObj {
public:
    explicit Tlegenda(TComponent* owner);
    ~Tlegenda() override;

    TFont& legendFont() { return *legendFont_; }
    const TFont& legendFont() const { return *legendFont_; }
    // The legend's own switch; a new legend is hidden.
    bool Visible = false;
    // Line t is the comment of test t.
    TStringList Commenti;
    // Rows of the grid; 0 (or less) means one row per test. Drawing stores back the count used.
    int32_t Numrows = 1;
    // Text alignment of the entries: 0 left, 2 right, 6 centred.
    uint16_t Align = 6;
    // Kept and streamed only; the graph always places the legend above the plotting area.
    TAlign legendAlign = alTop;
    TBorder Border;
    std::string testocomune;
    bool showfile = true;

    // The graph's tests, taken from an owner that is a TDataOwner; not owned.
    TDatabuffer* Data() const { return data_; }
    void SetData(TDatabuffer* data) { data_ = data; }

    // Nothing at all unless the legend is visible and has tests.
    void Draw(TCanvas& canvas) override;

    // The common text with each placeholder "&<" field ";" column ";" row "(" text ">"
    // replaced by the test's header cell at (column, row).
    std::string ExpandTags(std::string_view text, int test) const;
    // The text of the test's header cell at (column, row); empty when there is none.
    std::string GetHeaderCell(int test, int column, int row) const;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

private:
    void DrawEntry(TCanvas& canvas, int test, const TRect& cell);

    std::unique_ptr<TFont> legendFont_;
    TDatabuffer* data_ = nullptr;
};

} // namespace vx
