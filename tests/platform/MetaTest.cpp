#include "MetaFixtures.h"

#include "platform/runtime/Meta.h"

#include <gtest/gtest.h>

using namespace vx;
using vx::test::TTestWidget;

TEST(MetaTest, PropertiesComeBaseClassFirstInDeclarationOrder) {
    std::vector<std::string> names;
    for (const TPropInfo* p : TTestWidget::StaticClassInfo().AllProperties())
        names.push_back(p->Name);
    std::vector<std::string> expected = {
        "Name", "Tag",  "Count",   "Big",   "Maximum", "Minimum", "Caption", "Formato", "Formula",
        "Flag", "Kind", "Options", "Color", "Border",  "Items",   "Picture", "Buddy",   "OnClick"};
    EXPECT_EQ(names, expected);
}

TEST(MetaTest, FindsPropertiesByNameIgnoringCase) {
    const TClassInfo& cls = TTestWidget::StaticClassInfo();
    ASSERT_NE(cls.FindProperty("maximum"), nullptr);
    EXPECT_EQ(cls.FindProperty("MAXIMUM")->Kind, TPropKind::Float);
    EXPECT_EQ(cls.FindProperty("tag")->Default, 0);
    EXPECT_EQ(cls.FindProperty("Foo"), nullptr);
    EXPECT_EQ(cls.FindBinaryProperty("blob")->Name, "Blob");
    EXPECT_TRUE(cls.InheritsFrom("TComponent"));
    EXPECT_FALSE(cls.InheritsFrom("TTestFrame"));
}

TEST(MetaTest, ReadsAndWritesThroughDottedPaths) {
    TTestWidget w;
    void* h = MetaHandle(&w);
    TPropRef width = FindPropertyPath(h, w.ClassInfo(), "border.Width");
    ASSERT_TRUE(width);
    width.Prop->SetOrd(width.Handle, 7);
    EXPECT_EQ(w.Border->Width, 7);
    TPropRef kind = FindPropertyPath(h, w.ClassInfo(), "Kind");
    EXPECT_EQ(kind.Prop->GetOrd(kind.Handle), 1);
    EXPECT_EQ(kind.Prop->Names[2], "tkBar");
    TPropRef name = FindPropertyPath(h, w.ClassInfo(), "Name");
    name.Prop->SetStr(name.Handle, "W1");
    EXPECT_EQ(w.Name(), "W1");
    EXPECT_FALSE(FindPropertyPath(h, w.ClassInfo(), "Border.Foo"));
    EXPECT_FALSE(FindPropertyPath(h, w.ClassInfo(), "Caption.Width"));
    w.Border.reset();
    EXPECT_FALSE(FindPropertyPath(h, w.ClassInfo(), "Border.Width"));
}

TEST(MetaTest, ClassRegistryFindsClassesByNameAndCreatesThem) {
    RegisterClass(TTestWidget::StaticClassInfo());
    EXPECT_EQ(GetClass("ttestwidget"), &TTestWidget::StaticClassInfo());
    EXPECT_EQ(GetClass("TFoo"), nullptr);
    try {
        FindClass("TFoo");
        FAIL();
    } catch (const EClassNotFound& e) {
        EXPECT_EQ(e.Message, "Class TFoo not found");
    }
    TComponent owner;
    TPersistent* made = FindClass("TTestWidget").Create(&owner);
    ASSERT_NE(dynamic_cast<TTestWidget*>(made), nullptr);
    EXPECT_EQ(owner.ComponentCount(), 1);
    EXPECT_EQ(static_cast<TComponent*>(static_cast<TTestWidget*>(made))->ClassName(),
              "TTestWidget");
}

TEST(MetaTest, SharedBasePropertiesCarryTheClassLibraryDefaults) {
    const TPropInfo* visible = FindBaseProperty("visible");
    ASSERT_NE(visible, nullptr);
    EXPECT_EQ(visible->Default, 1);
    EXPECT_FALSE(FindBaseProperty("Left")->Default.has_value());
    const TPropInfo* cursor = FindBaseProperty("Cursor");
    std::string ident;
    ASSERT_TRUE(cursor->Idents->ToIdent(-21, ident));
    EXPECT_EQ(ident, "crHandPoint");
    int32_t value = 0;
    ASSERT_TRUE(cursor->Idents->FromIdent("crSizeAll", value));
    EXPECT_EQ(value, -22);
    ASSERT_TRUE(cursor->Idents->FromIdent("crSizeNESW", value));
    EXPECT_EQ(value, -6);
    EXPECT_EQ(FindBaseProperty("HelpType")->Names[1], "htContext");
}
