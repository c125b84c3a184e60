#pragma once

// Small streamable classes that exercise every kind of property.

#include "platform/runtime/Component.h"
#include "platform/runtime/Meta.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/StringList.h"
#include "platform/runtime/Strings.h"

#include <memory>
#include <vector>

namespace vx::test {

// Two colour names are enough to see identifiers written and read.
inline bool TestColorToIdent(int32_t value, std::string& ident) {
    if (value == 0xFFFFFF)
        ident = "clWhite";
    else if (value == 0)
        ident = "clBlack";
    else
        return false;
    return true;
}
inline bool TestIdentToColor(std::string_view ident, int32_t& value) {
    if (SameText(ident, "clWhite"))
        value = 0xFFFFFF;
    else if (SameText(ident, "clBlack"))
        value = 0;
    else
        return false;
    return true;
}
inline const TIdentMap testColors{TestColorToIdent, TestIdentToColor};

class TTestFrame : public TPersistent {
public:
    bool Visible = true;
    int32_t Width = 1;
    int32_t Color = 0;

    static const TClassInfo& StaticClassInfo() {
        static const TClassInfo info =
            TClassBuilder<TTestFrame>("TTestFrame", &TPersistent::StaticClassInfo())
                .Field("Visible", &TTestFrame::Visible, 1)
                .Field("Width", &TTestFrame::Width, 1)
                .Integer(
                    "Color", [](const TTestFrame& f) { return f.Color; },
                    [](TTestFrame& f, int64_t v) { f.Color = static_cast<int32_t>(v); }, 0,
                    &testColors, "TColor")
                .Build();
        return info;
    }
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
};

enum class TTestKind { tkNone, tkLine, tkBar };

class TTestWidget : public TComponent {
public:
    using TComponent::TComponent;

    int32_t Count = 0;
    int64_t Big = 0;
    double Maximum = 100;
    double Minimum = 0;
    std::string Caption;
    std::string Formato = "0.0";
    std::string Formula; // no length limit
    bool Flag = false;
    TTestKind Kind = TTestKind::tkLine;
    uint32_t Options = 0;
    int32_t Color = 0xFFFFFF;
    std::unique_ptr<TTestFrame> Border = std::make_unique<TTestFrame>();
    TStringList Items;
    std::string Picture; // BMP bytes
    TComponent* Buddy = nullptr;
    std::string Private; // written as the binary property "Blob"
    int LoadedCalls = 0;

    void Loaded() override {
        TComponent::Loaded();
        ++LoadedCalls;
    }

    static const TClassInfo& StaticClassInfo() {
        using W = TTestWidget;
        static const TClassInfo info =
            TClassBuilder<W>("TTestWidget", &TComponent::StaticClassInfo())
                .Field("Count", &W::Count)
                .Int64(
                    "Big", [](const W& w) { return w.Big; }, [](W& w, int64_t v) { w.Big = v; }, 0)
                .Float(
                    "Maximum", [](const W& w) { return w.Maximum; },
                    [](W& w, double v) { w.Maximum = v; }, 100)
                .Float(
                    "Minimum", [](const W& w) { return w.Minimum; },
                    [](W& w, double v) { w.Minimum = v; })
                .String(
                    "Caption", [](const W& w) { return w.Caption; },
                    [](W& w, std::string v) { w.Caption = std::move(v); })
                .String(
                    "Formato", [](const W& w) { return w.Formato; },
                    [](W& w, std::string v) { w.Formato = std::move(v); }, "0.0")
                .String(
                    "Formula", [](const W& w) { return w.Formula; },
                    [](W& w, std::string v) { w.Formula = std::move(v); }, {}, 0)
                .Field("Flag", &W::Flag, 0)
                .Enumeration(
                    "Kind", "TTestKind", {"tkNone", "tkLine", "tkBar"},
                    [](const W& w) { return static_cast<int>(w.Kind); },
                    [](W& w, int64_t v) { w.Kind = static_cast<TTestKind>(v); }, 1)
                .Set(
                    "Options", "TTestOptions", {"toBold", "toItalic", "toUnderline"},
                    [](const W& w) { return w.Options; },
                    [](W& w, int64_t v) { w.Options = static_cast<uint32_t>(v); }, 0)
                .Integer(
                    "Color", [](const W& w) { return w.Color; },
                    [](W& w, int64_t v) { w.Color = static_cast<int32_t>(v); }, {}, &testColors,
                    "TColor")
                .Object<TTestFrame>("Border", TTestFrame::StaticClassInfo(),
                                    [](W& w) { return w.Border.get(); })
                .StringList("Items", [](W& w) { return &w.Items; })
                .Bitmap(
                    "Picture", [](const W& w) { return w.Picture; },
                    [](W& w, std::string v) { w.Picture = std::move(v); })
                .Component(
                    "Buddy", "TComponent", [](const W& w) { return w.Buddy; },
                    [](W& w, TComponent* c) { w.Buddy = c; })
                .Event("OnClick")
                .Binary(
                    "Blob", [](const W& w) { return !w.Private.empty(); },
                    [](const W& w, TStream& s) { s.WriteBytes(w.Private); },
                    [](W& w, TStream& s) { w.Private = s.ReadBytes(s.Remaining()); })
                .Build();
        return info;
    }
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
};

// A collection whose items are no persistent objects, each with a binary property, beside a
// list that is handed to a setter, as the translation table has them.
struct TTestColumn {
    std::string Title;
    int32_t Width = 0;
    std::string Raw; // written as the binary property "Data"

    static const TClassInfo& StaticClassInfo() {
        using C = TTestColumn;
        static const TClassInfo info =
            TClassBuilder<C>("TTestColumn", nullptr)
                .String(
                    "Title", [](const C& c) { return c.Title; },
                    [](C& c, std::string v) { c.Title = std::move(v); })
                .Field("Width", &C::Width, 0)
                .Binary(
                    "Data", [](const C& c) { return !c.Raw.empty(); },
                    [](const C& c, TStream& s) { s.WriteBytes(c.Raw); },
                    [](C& c, TStream& s) { c.Raw = s.ReadBytes(s.Remaining()); })
                .Build();
        return info;
    }
};

class TTestColumns {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    TTestColumn& Items(int i) const { return *items_.at(static_cast<size_t>(i)); }
    TTestColumn& Add() { return *items_.emplace_back(std::make_unique<TTestColumn>()); }
    void Clear() { items_.clear(); }

private:
    std::vector<std::unique_ptr<TTestColumn>> items_;
};

class TTestSheet : public TComponent {
public:
    using TComponent::TComponent;

    TTestColumns Columns;
    TStringList Names;
    int NamesSet = 0; // calls of the list's setter

    static const TClassInfo& StaticClassInfo() {
        using S = TTestSheet;
        static const TClassInfo info =
            TClassBuilder<S>("TTestSheet", &TComponent::StaticClassInfo())
                .StringList(
                    "Names", [](S& s) { return &s.Names; },
                    [](S& s, const TStringList& v) {
                        s.Names.Assign(v);
                        ++s.NamesSet;
                    })
                .Collection<TTestColumn, TTestColumns>("Columns", "TTestColumns",
                                                       TTestColumn::StaticClassInfo(),
                                                       [](S& s) { return &s.Columns; })
                .Stored([](const S& s) { return s.Columns.Count() > 0; })
                .Build();
        return info;
    }
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
};

} // namespace vx::test
