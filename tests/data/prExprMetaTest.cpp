#include "data/prExprMeta.h"
#include "data/Valuedefnt.h"

#include <gtest/gtest.h>

using namespace vx;

TEST(prExprMetaTest, ReadsPublishedPropertiesThroughTheMetaLayer) {
    Tvaluedefnt v;
    v.SX = 12;
    v.X = true;
    TMetaExprObject view(v);
    EXPECT_EQ(view.ClassName(), "Tvaluedefnt");

    TObjectProperty sx(&view, "sx");
    EXPECT_EQ(sx.ExprType(), TExprType::Integer);
    EXPECT_EQ(sx.AsInteger(), 12);
    v.SX = 13; // read at each evaluation
    EXPECT_EQ(sx.AsInteger(), 13);

    TObjectProperty x(&view, "X");
    EXPECT_EQ(x.ExprType(), TExprType::Boolean);
    EXPECT_TRUE(x.AsBoolean());

    TObjectProperty font(&view, "font");
    EXPECT_EQ(font.ExprType(), TExprType::Object);
    TExprObject* f = font.AsObject();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->ClassName(), "TFont");
    TObjectProperty name(f, "Name");
    EXPECT_EQ(name.AsString(), "Testline");
    TObjectProperty pitch(f, "Pitch");
    EXPECT_EQ(pitch.ExprType(), TExprType::Enumerated);
    EXPECT_EQ(pitch.AsString(), "fpDefault");

    EXPECT_THROW(TObjectProperty(&view, "Foo"), EExpression);
    EXPECT_THROW(TObjectProperty(f, "Style"), EExpression); // a set has no expression type
}
