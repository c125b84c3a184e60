#include "data/prExpr.h"
#include "data/prExprObject.h"
#include "platform/runtime/Strings.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace vx;

namespace {

IValueRef Compile(std::string_view text, const TIdentifierFunction& identifiers = {}) {
    IValueRef value;
    CreateExpression(text, value, identifiers);
    return value;
}

struct ValueCase {
    const char* text;
    const char* expected; // AsString of the root
    TExprType type;
};

class ValueTest : public testing::TestWithParam<ValueCase> {};

TEST_P(ValueTest, EvaluatesToText) {
    const ValueCase& c = GetParam();
    IValueRef value = Compile(c.text);
    EXPECT_EQ(value->ExprType(), c.type) << c.text;
    EXPECT_EQ(value->AsString(), c.expected) << c.text;
}

constexpr TExprType kStr = TExprType::String;
constexpr TExprType kFlt = TExprType::Float;
constexpr TExprType kInt = TExprType::Integer;
constexpr TExprType kBool = TExprType::Boolean;

INSTANTIATE_TEST_SUITE_P(
    Operators, ValueTest,
    testing::Values(ValueCase{"2+3*4", "14", kInt}, ValueCase{"(2+3)*4", "20", kInt},
                    ValueCase{"7 DIV 2", "3", kInt}, ValueCase{"7/2", "3.5", kFlt},
                    ValueCase{"2^3^2", "64", kFlt}, ValueCase{"2^3", "8", kFlt},
                    ValueCase{"8^2", "64", kFlt}, ValueCase{"10^3", "1000", kFlt},
                    ValueCase{"2^0.5", "1.4142135623731", kFlt}, ValueCase{"2^-1", "0.5", kFlt},
                    ValueCase{"1 + 'a'", "1a", kStr}, ValueCase{"'a' + 1.5", "a1.5", kStr},
                    ValueCase{"+'a'", "a", kStr}, ValueCase{"1.5 + 1", "2.5", kFlt},
                    ValueCase{"-(-3)", "3", kInt}, ValueCase{"2147483647 + 1", "-2147483648", kInt},
                    ValueCase{"-2147483647 - 2", "2147483647", kInt},
                    ValueCase{"65536 * 65536", "0", kInt}, ValueCase{"-7 MOD 3", "-1", kInt},
                    ValueCase{"7 MOD -3", "1", kInt}, ValueCase{"-7 DIV 2", "-3", kInt},
                    ValueCase{"(-2147483647 - 1) MOD -1", "0", kInt},
                    ValueCase{"1 SHL 33", "2", kInt}, ValueCase{"-1 SHR 28", "15", kInt},
                    ValueCase{"1 shl -1", "-2147483648", kInt}, ValueCase{"NOT 0", "-1", kInt},
                    ValueCase{"5 AND 3", "1", kInt}, ValueCase{"5 or 3", "7", kInt},
                    ValueCase{"5 Xor 3", "6", kInt}, ValueCase{"true and not false", "TRUE", kBool},
                    ValueCase{"TRUE XOR TRUE", "FALSE", kBool},
                    ValueCase{"FALSE OR 1 < 2", "TRUE", kBool},
                    ValueCase{"'abc' < 'abd'", "TRUE", kBool},
                    ValueCase{"'B' < 'a'", "TRUE", kBool}, ValueCase{"'b' >= 'ba'", "FALSE", kBool},
                    ValueCase{"1 = 1.0", "TRUE", kBool}, ValueCase{"1 = '1'", "TRUE", kBool},
                    ValueCase{"2 <> 2", "FALSE", kBool}, ValueCase{"3 <= 2.5", "FALSE", kBool},
                    ValueCase{"TRUE = TRUE", "TRUE", kBool}, ValueCase{"TRUE = 1", "TRUE", kBool},
                    ValueCase{"1 < 2 = TRUE", "TRUE", kBool}, ValueCase{" \t\r\n3 ", "3", kInt},
                    ValueCase{"1e5", "100000", kFlt}, ValueCase{"1.5E-3", "0.0015", kFlt},
                    ValueCase{"5.", "5", kFlt}, ValueCase{"$FF", "255", kInt},
                    ValueCase{"$ffffffff", "-1", kInt}, ValueCase{"'it''s'", "it's", kStr},
                    ValueCase{"''''", "'", kStr}, ValueCase{"''", "", kStr}));

INSTANTIATE_TEST_SUITE_P(
    Functions, ValueTest,
    testing::Values(
        ValueCase{"if(1<2,'a','b')", "a", kStr}, ValueCase{"IF(FALSE, 1, 2)", "2", kInt},
        ValueCase{"MED(1,2,6)", "3", kFlt}, ValueCase{"MED", "0", kFlt},
        ValueCase{"MIN", "0", kFlt}, ValueCase{"MIN(3, 1.5, 2)", "1.5", kFlt},
        ValueCase{"MAX(3, 1, 2)", "3", kFlt}, ValueCase{"POWER(0,2)", "0", kFlt},
        ValueCase{"POWER(2,10)", "1024", kFlt}, ValueCase{"ROUND(3.5)", "4", kInt},
        ValueCase{"ROUND(2.5)", "2", kInt}, ValueCase{"ROUND(-2.5)", "-2", kInt},
        ValueCase{"TRUNC(-2.7)", "-2", kInt}, ValueCase{"FRAC(2.75)", "0.75", kFlt},
        ValueCase{"INT(-2.75)", "-2", kFlt}, ValueCase{"ABS(-2)", "2", kFlt},
        ValueCase{"SQRT(16)", "4", kFlt}, ValueCase{"SQR(1.5)", "2.25", kFlt},
        ValueCase{"LN(1)", "0", kFlt}, ValueCase{"EXP(0)", "1", kFlt},
        ValueCase{"COS(0) + SIN(0) + ARCTAN(0)", "1", kFlt},
        ValueCase{"PI", "3.14159265358979", kFlt}, ValueCase{"COPY('abcdef',2,3)", "bcd", kStr},
        ValueCase{"COPY('abc',2,100)", "bc", kStr}, ValueCase{"COPY('abc',-5,2)", "ab", kStr},
        ValueCase{"COPY('abc',4,1)", "", kStr}, ValueCase{"POS('cd','abcdef')", "3", kInt},
        ValueCase{"POS('x','abc')", "0", kInt}, ValueCase{"LENGTH('abc' + 1)", "4", kInt},
        ValueCase{"UPPER('abc')", "ABC", kStr}, ValueCase{"lower('AbC')", "abc", kStr},
        ValueCase{"UPPER(1.5)", "1.5", kStr}, ValueCase{"FLOAT('1.5')", "1.5", kFlt},
        ValueCase{"FLOAT(2)", "2", kFlt}, ValueCase{"INTEGER(2.9)", "2", kInt},
        ValueCase{"INTEGER(-2.9)", "-2", kInt}, ValueCase{"INTEGER(' 12')", "12", kInt},
        ValueCase{"INTEGER(TRUE)", "1", kInt}, ValueCase{"STRING(12) + 'x'", "12x", kStr},
        ValueCase{"BOOLEAN('true')", "TRUE", kBool}, ValueCase{"BOOLEAN('FALSE')", "FALSE", kBool},
        ValueCase{"BOOLEAN(0.5)", "TRUE", kBool}, ValueCase{"BOOLEAN(1e-31)", "FALSE", kBool},
        ValueCase{"BOOLEAN(0)", "FALSE", kBool}, ValueCase{"BOOLEAN(-3)", "TRUE", kBool}));

// A compile or evaluation failure and its exact message.
struct ErrorCase {
    const char* text;
    const char* message;
};

class CompileErrorTest : public testing::TestWithParam<ErrorCase> {};

TEST_P(CompileErrorTest, RaisesWhileCompiling) {
    const ErrorCase& c = GetParam();
    IValueRef value(new TIntegerLiteral(1));
    try {
        CreateExpression(c.text, value);
        FAIL() << c.text << " compiled";
    } catch (const EExpression& e) {
        EXPECT_EQ(e.Message, c.message) << c.text;
    }
    EXPECT_FALSE(value) << "a failed compile leaves no tree";
}

const std::string kLongString = "'" + std::string(257, 'a') + "'";
const std::string kLongHex = "$" + std::string(256, '0') + "1";

INSTANTIATE_TEST_SUITE_P(
    Messages, CompileErrorTest,
    testing::Values(
        ErrorCase{"'abc", "Unterminated string"}, ErrorCase{"'it''", "Unterminated string"},
        ErrorCase{kLongString.c_str(), "String too long"}, ErrorCase{"1.2.3", "Bad numeric format"},
        ErrorCase{"1e+5", "Bad numeric format"}, ErrorCase{"1e", "Bad numeric format"},
        ErrorCase{"1e5e2", "Bad numeric format"}, ErrorCase{"1e5.2", "Bad numeric format"},
        ErrorCase{"12345678901234567890123456.789", "Bad numeric format"},
        ErrorCase{"$", "Invalid char in hex number"},
        ErrorCase{"$100000000", "Invalid char in hex number"},
        ErrorCase{kLongHex.c_str(), "Hex string too long"}, ErrorCase{"1 2", "2 not appropriate"},
        ErrorCase{"1 'x", "' not appropriate"}, ErrorCase{"TRUE(1)", "( not appropriate"},
        ErrorCase{"*3", "opMult not allowed here"},
        ErrorCase{"1 + DIV 2", "opDiv not allowed here"},
        ErrorCase{"<> 2", "opNEq not allowed here"}, ErrorCase{"3+", "Unexpected end of factor"},
        ErrorCase{"NOT", "Unexpected end of factor"}, ErrorCase{"()", "Unexpected end of factor"},
        ErrorCase{"", "Unexpected end of factor"}, ErrorCase{"(3", " ) expected"},
        ErrorCase{"#", "Syntax error"}, ErrorCase{"andy", "Unknown Identifier ANDY"},
        ErrorCase{"abc(1)", "Unknown Identifier ABC"},
        ErrorCase{"IF(1,2,3)", "First parameter to If must be Boolean"},
        ErrorCase{"IF(TRUE,1)", "IF must have 3 parameters"},
        ErrorCase{"IF", "IF must have 3 parameters"},
        ErrorCase{"IF(TRUE, 1, 'x')", "IF options must be the same type"},
        ErrorCase{"MIN()", "Unexpected end of factor"},
        ErrorCase{"MIN(1 2)", "Incorrectly formed parameters"},
        ErrorCase{"MIN(1", "Incorrectly formed parameters"},
        ErrorCase{"SQRT(1,2)", "Invalid parameters to SQRT"},
        ErrorCase{"sqrt('4')", "Invalid parameters to SQRT"},
        ErrorCase{"POWER(2)", "Invalid parameters to POWER"},
        ErrorCase{"COPY('abc',1.0,2)", "Invalid parameters to COPY"},
        ErrorCase{"POS('a')", "Invalid parameters to POS"},
        ErrorCase{"ENUMERATED(1)", "Cannot cast to enumerated"},
        ErrorCase{"FLOAT(1,2)", "Invalid parameters to typecast"},
        ErrorCase{"OBJECT(1)", "Type Object is incompatible with type Integer"},
        ErrorCase{"'a' - 1 + 2", "Operator opMinus incompatible with String"},
        ErrorCase{"(1.5 DIV 2) * 3", "Operator opDiv incompatible with Float"}));

TEST(prExprTest, NestingBeyondTheLimitIsTooComplex) {
    const auto nested = [](int n) { return std::string(n, '(') + "1" + std::string(n, ')'); };
    EXPECT_EQ(Compile(nested(999))->AsInteger(), 1);
    EXPECT_EQ(Compile(std::string(999, '-') + "1")->AsInteger(), -1);
    std::string calls = "1";
    for (int i = 0; i < 998; ++i)
        calls = "ABS(" + calls + ")";
    EXPECT_EQ(Compile(calls)->AsFloat(), 1.0);
    std::string sum = "1";
    for (int i = 0; i < 400; ++i)
        sum += "+1";
    EXPECT_EQ(Compile(sum)->AsInteger(), 401);
    for (const std::string& text : {nested(1001), std::string(5000, '-') + "1",
                                    std::string(100000, '(') + "1", sum + sum + sum}) {
        try {
            Compile(text);
            FAIL() << "compiled";
        } catch (const EExpression& e) {
            EXPECT_STREQ(e.what(), "Expression too complex");
        }
    }
}

TEST(prExprTest, TextEndsAtCodeZero) {
    EXPECT_EQ(Compile(std::string_view("3\0 garbage", 10))->AsInteger(), 3);
}

TEST(prExprTest, LiteralsThatDoNotFitRaiseTheConversionError) {
    EXPECT_THROW(Compile("2147483648"), EConvertError);
    EXPECT_THROW(Compile("1e400"), EConvertError);
    EXPECT_EQ(Compile("2147483647")->AsInteger(), 2147483647);
    EXPECT_EQ(Compile("'" + std::string(256, 'a') + "'")->AsString().size(), 256u);
}

class EvaluationErrorTest : public testing::TestWithParam<ErrorCase> {};

TEST_P(EvaluationErrorTest, CompilesAndRaisesWhenEvaluated) {
    const ErrorCase& c = GetParam();
    IValueRef value = Compile(c.text);
    try {
        value->AsString();
        FAIL() << c.text << " evaluated";
    } catch (const EExpression& e) {
        EXPECT_EQ(e.Message, c.message) << c.text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Messages, EvaluationErrorTest,
    testing::Values(ErrorCase{"'a' - 1", "Operator opMinus incompatible with String"},
                    ErrorCase{"-'a'", "Operator opMinus incompatible with String"},
                    ErrorCase{"NOT 1.5", "Operator opNot incompatible with Float"},
                    ErrorCase{"TRUE + FALSE", "Operator opPlus incompatible with Boolean"},
                    ErrorCase{"TRUE < FALSE", "cannot apply opLT to boolean operands"},
                    ErrorCase{"INTEGER('x')", "Cannot convert x to integer"},
                    ErrorCase{"FLOAT('1,5')", "Cannot convert 1,5 to float"},
                    ErrorCase{"BOOLEAN('yes')", "Cannot convert yes to Boolean"},
                    ErrorCase{"INTL(1)", "Invalid parameters to INTL"},
                    ErrorCase{"MIN('a')", "Cannot read String as Float"}));

std::string MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const EExpression& e) {
        return e.what();
    }
    return "no error";
}

TEST(prExprTest, BaseConversionsRefuseWhatATypeCannotBeReadAs) {
    const auto message = MessageOf;
    EXPECT_EQ(message([] { Compile("'a'")->AsFloat(); }), "Cannot read String as Float");
    EXPECT_EQ(message([] { Compile("1.5")->AsInteger(); }), "Cannot read Float as Integer");
    EXPECT_EQ(message([] { Compile("1")->AsBoolean(); }), "Cannot read Integer as boolean");
    EXPECT_EQ(message([] { Compile("1")->AsObject(); }), "Cannot read Integer as object");
    EXPECT_EQ(message([] { Compile("STRING(1)")->AsFloat(); }), "Cannot read String as Float");
    EXPECT_EQ(Compile("TRUE")->AsFloat(), 1.0);
    EXPECT_EQ(Compile("1 < 2")->AsInteger(), 1);
    EXPECT_EQ(Compile("7")->TypeName(), "Integer");
    EXPECT_EQ(Compile("7.5")->TypeName(), "Float");
}

TEST(prExprTest, CanReadAsFollowsTheTypeOrder) {
    struct Case {
        const char* text;
        bool object, string, flt, integer;
    };
    for (const Case& c :
         {Case{"'a'", false, true, false, false}, Case{"1.5", false, true, true, false},
          Case{"1", false, true, true, true}, Case{"TRUE", false, true, true, true}}) {
        IValueRef v = Compile(c.text);
        EXPECT_EQ(v->CanReadAs(TExprType::Object), c.object) << c.text;
        EXPECT_EQ(v->CanReadAs(TExprType::String), c.string) << c.text;
        EXPECT_EQ(v->CanReadAs(TExprType::Float), c.flt) << c.text;
        EXPECT_EQ(v->CanReadAs(TExprType::Integer), c.integer) << c.text;
    }
}

class MathErrorTest : public testing::TestWithParam<const char*> {};

TEST_P(MathErrorTest, RaisesTheMathError) {
    IValueRef value = Compile(GetParam());
    EXPECT_THROW(value->AsString(), EMathError) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Faults, MathErrorTest,
                         testing::Values("-2^2", "0^2", "0^0", "5 DIV 0", "5 MOD 0",
                                         "(-2147483647 - 1) DIV -1", "1/0", "0/0", "1.5/0", "LN(0)",
                                         "LN(-1)", "SQRT(-1)", "EXP(1000)", "1e308 * 10",
                                         "1e308 + 1e308", "SQR(1e200)", "10^400", "POWER(-2, 2)",
                                         "ROUND(1e10)", "TRUNC(-1e10)", "INTEGER(3e9)",
                                         "MED(1e308, 1e308)"));

TEST(prExprTest, FloatsPrintWithTheUserSeparatorButLiteralsUsePoint) {
    test::ScopedFormatSettings saved;
    FormatSettings().DecimalSeparator = ',';
    EXPECT_EQ(Compile("7/2")->AsString(), "3,5");
    EXPECT_EQ(Compile("FLOAT('1.5')")->AsFloat(), 1.5);
    EXPECT_EQ(Compile("1.25 * 2")->AsFloat(), 2.5);
    try {
        Compile("1,5");
        FAIL();
    } catch (const EExpression& e) {
        EXPECT_STREQ(e.what(), ", not appropriate");
    }
}

TEST(prExprTest, RndStaysBelowOne) {
    IValueRef value = Compile("RND");
    for (int i = 0; i < 1000; ++i) {
        const double r = value->AsFloat();
        ASSERT_GE(r, 0.0);
        ASSERT_LT(r, 1.0);
    }
}

// A caller's node that counts how often it is read.
class TCounter final : public TFunction {
public:
    TCounter(TParameterList params, int& reads) : TFunction(std::move(params)), reads_(reads) {}
    bool TestParameters() override { return ParameterCount() <= 1; }
    int32_t AsInteger() override {
        ++reads_;
        return ParameterCount() == 0 ? 7 : Param(0).AsInteger() * 10;
    }
    bool AsBoolean() override {
        ++reads_;
        return true;
    }
    TExprType ExprType() override { return TExprType::Integer; }
    std::string_view ClassName() const override { return "TCounter"; }

private:
    int& reads_;
};

class TFlag final : public TExpression {
public:
    explicit TFlag(int& reads) : reads_(reads) {}
    bool AsBoolean() override {
        ++reads_;
        return true;
    }
    TExprType ExprType() override { return TExprType::Boolean; }
    std::string_view ClassName() const override { return "TFlag"; }

private:
    int& reads_;
};

TEST(prExprTest, IdentifierFunctionExtendsTheLanguage) {
    int reads = 0;
    std::vector<std::string> asked;
    const TIdentifierFunction identifiers = [&](std::string_view name, TParameterList params) {
        asked.emplace_back(name);
        if (name == "CNT")
            return IValueRef(new TCounter(std::move(params), reads));
        if (name == "FLAG")
            return IValueRef(new TFlag(reads));
        return IValueRef();
    };
    EXPECT_EQ(Compile("cnt * 2", identifiers)->AsInteger(), 14);
    EXPECT_EQ(Compile("Cnt(3) + 1", identifiers)->AsInteger(), 31);
    EXPECT_EQ(asked, (std::vector<std::string>{"CNT", "CNT"}));

    asked.clear();
    EXPECT_EQ(Compile("MIN + PI * 0", identifiers)->AsFloat(), 0.0);
    EXPECT_TRUE(asked.empty()) << "the language's own names come first";

    const auto message = [&](const char* text) {
        return MessageOf([&] { Compile(text, identifiers); });
    };
    EXPECT_EQ(message("CNT(1, 2)"), "Invalid parameters to CNT");
    EXPECT_EQ(message("other(1)"), "Unknown Identifier OTHER");

    // Only what is needed is evaluated.
    reads = 0;
    EXPECT_FALSE(Compile("FALSE AND FLAG", identifiers)->AsBoolean());
    EXPECT_TRUE(Compile("TRUE OR FLAG", identifiers)->AsBoolean());
    EXPECT_EQ(Compile("IF(TRUE, 1, CNT)", identifiers)->AsInteger(), 1);
    EXPECT_EQ(Compile("IF(FLAG, 1, 1 DIV 0)", identifiers)->AsInteger(), 1);
    EXPECT_EQ(reads, 1);
    EXPECT_TRUE(Compile("FLAG XOR FALSE", identifiers)->AsBoolean());
    EXPECT_EQ(reads, 2);

    // A compiled tree reads the current state at each evaluation.
    reads = 0;
    IValueRef tree = Compile("CNT + CNT", identifiers);
    tree->AsInteger();
    tree->AsInteger();
    EXPECT_EQ(reads, 4);
}

TEST(prExprTest, OperatorNodesRefuseForeignOperators) {
    const auto message = MessageOf;
    IValueRef one(new TIntegerLiteral(1));
    EXPECT_EQ(message([&] { IValueRef(new TUnaryOp(TExprOperator::opMult, one)); }),
              "opMult is not simple unary operator");
    EXPECT_EQ(message([&] { IValueRef(new TBinaryOp(TExprOperator::opLT, one, one)); }),
              "opLT is not a simple binary operator");
    EXPECT_EQ(message([&] { IValueRef(new TRelationalOp(TExprOperator::opPlus, one, one)); }),
              "opPlus is not relational operator");
}

} // namespace

namespace {

// An object with one published property of every kind the language reads, and one it cannot.
class TGauge final : public TExprObject {
public:
    int64_t Width = 40;
    double Ratio = 1.5;
    std::string Caption = "gauge";
    bool Visible = true;
    int64_t Style = 1;
    char Letter = 'A';
    TGauge* Child = nullptr;

    std::string ClassName() const override { return "TGauge"; }
    const TExprProperty* FindProperty(std::string_view name) const override {
        static const std::vector<TExprProperty> properties = {
            {"Width", TPropertyKind::Integer, {"Integer", {}}, Field(&TGauge::Width)},
            {"Ratio", TPropertyKind::Float, {"Double", {}}, Field(&TGauge::Ratio)},
            {"Caption", TPropertyKind::String, {"String", {}}, Field(&TGauge::Caption)},
            {"Visible",
             TPropertyKind::Enumeration,
             {"Boolean", {"False", "True"}},
             [](TExprObject& o) { return TPropertyValue(int64_t{Self(o).Visible}); }},
            {"Style",
             TPropertyKind::Enumeration,
             {"TPenStyle", {"psSolid", "psDash"}},
             Field(&TGauge::Style)},
            {"Letter",
             TPropertyKind::Char,
             {"Char", {}},
             [](TExprObject& o) { return TPropertyValue(int64_t{Self(o).Letter}); }},
            {"Child",
             TPropertyKind::Class,
             {"TGauge", {}},
             [](TExprObject& o) {
                 return TPropertyValue(static_cast<TExprObject*>(Self(o).Child));
             }},
            {"OnChange", TPropertyKind::Other, {"TNotifyEvent", {}}, {}},
        };
        for (const TExprProperty& p : properties)
            if (SameText(p.Name, name))
                return &p;
        return nullptr;
    }

private:
    static TGauge& Self(TExprObject& o) { return static_cast<TGauge&>(o); }
    template <class T>
    static std::function<TPropertyValue(TExprObject&)> Field(T TGauge::*field) {
        return [field](TExprObject& o) { return TPropertyValue(Self(o).*field); };
    }
};

// The caller's name for an object.
class TObjectName final : public TExpression {
public:
    explicit TObjectName(TExprObject* object) : object_(object) {}
    TExprObject* AsObject() override { return object_; }
    TExprType ExprType() override { return TExprType::Object; }
    std::string_view ClassName() const override { return "TObjectName"; }

private:
    TExprObject* object_;
};

TEST(prExprTest, PublishedPropertiesAreReadByName) {
    TGauge gauge, child;
    gauge.Child = &child;
    child.Caption = "inner";
    const TIdentifierFunction identifiers = [&](std::string_view name, TParameterList) {
        return name == "GAUGE" ? IValueRef(new TObjectName(&gauge)) : IValueRef();
    };
    struct Case {
        const char* text;
        const char* expected;
    };
    for (const Case& c :
         {Case{"gauge.Width * 2", "80"}, Case{"GAUGE.ratio + 1", "2.5"},
          Case{"gauge.Caption + '!'", "gauge!"}, Case{"gauge.Visible AND TRUE", "TRUE"},
          Case{"gauge.Style", "psDash"}, Case{"gauge.Style = 1", "TRUE"},
          Case{"gauge.Style = gauge.Style", "FALSE"}, Case{"gauge.Letter", "65"},
          Case{"gauge.Child.Caption", "inner"}, Case{"STRING(gauge)", "TGauge"},
          Case{"OBJECT(gauge.Child)", "TGauge"}, Case{"gauge = gauge", "FALSE"}}) {
        IValueRef value = Compile(c.text, identifiers);
        EXPECT_EQ(value->AsString(), c.expected) << c.text;
    }

    IValueRef width = Compile("gauge.Width", identifiers);
    gauge.Width = 7;
    EXPECT_EQ(width->AsInteger(), 7) << "read at each evaluation";

    const auto message = [&](const char* text) {
        return MessageOf([&] { Compile(text, identifiers); });
    };
    EXPECT_EQ(message("gauge.Height"), "Height is not published property of TGauge");
    EXPECT_EQ(message("gauge."), "Invalid property of object TGauge");
    EXPECT_EQ(message("gauge.OnChange"), "Property OnChange unsupported type");
    EXPECT_EQ(message("gauge + 1"), "Type Object is incompatible with type Integer");
    EXPECT_EQ(message("FLOAT(gauge)"), "Type Float is incompatible with type Object");
    EXPECT_EQ(MessageOf([&] { Compile("gauge", identifiers)->AsString(); }), "no error");
    EXPECT_EQ(MessageOf([&] { Compile("gauge", identifiers)->TypeName(); }),
              "Cannot provide TypeInfo for TObjectName");
}

} // namespace
