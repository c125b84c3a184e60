#include "data/prExpr.h"

#include "data/prExprMath.h"
#include "platform/runtime/Format.h"
#include "platform/runtime/Numbers.h"
#include "platform/runtime/Strings.h"

#include <cmath>
#include <numbers>
#include <random>

namespace vx {

namespace {

double Random01() {
    static std::mt19937_64 generator{std::random_device{}()};
    // 53 random bits: every value is below 1.
    return static_cast<double>(generator() >> 11) * 0x1.0p-53;
}

} // namespace

// ---- TStringExpression ----

TStringExpression::TStringExpression(TParameterList params, TKind kind)
    : TFunction(std::move(params)), kind_(kind) {}

bool TStringExpression::TestParameters() {
    auto text = [this](int i) { return Param(i).CanReadAs(TExprType::String); };
    switch (kind_) {
    case CopyOf:
        return ParameterCount() == 3 && text(0) && Param(1).ExprType() == TExprType::Integer &&
               Param(2).ExprType() == TExprType::Integer;
    case PosOf:
        return ParameterCount() == 2 && text(0) && text(1);
    default:
        return ParameterCount() == 1 && text(0);
    }
}

TExprType TStringExpression::ExprType() {
    return kind_ == PosOf || kind_ == LengthOf ? TExprType::Integer : TExprType::String;
}

std::string TStringExpression::AsString() {
    switch (kind_) {
    case Upper:
        return UpperCase(Param(0).AsString());
    case Lower:
        return LowerCase(Param(0).AsString());
    case CopyOf: {
        const std::string s = Param(0).AsString();
        const int32_t index = Param(1).AsInteger();
        return Copy(s, index, Param(2).AsInteger());
    }
    default:
        return TExpression::AsString();
    }
}

int32_t TStringExpression::AsInteger() {
    switch (kind_) {
    case PosOf: {
        const std::string sub = Param(0).AsString();
        return Pos(sub, Param(1).AsString());
    }
    case LengthOf:
        return static_cast<int32_t>(Param(0).AsString().size());
    default:
        return TExpression::AsInteger();
    }
}

// ---- TMathExpression ----

TMathExpression::TMathExpression(TParameterList params, TKind kind)
    : TFunction(std::move(params)), kind_(kind) {}

bool TMathExpression::TestParameters() {
    auto number = [this](int i) { return Param(i).CanReadAs(TExprType::Float); };
    switch (kind_) {
    case Pi:
    case Intl:
    case Min:
    case Max:
    case Med:
    case Rnd:
        return true;
    case Power:
        return ParameterCount() == 2 && number(0) && number(1);
    default:
        return ParameterCount() == 1 && number(0);
    }
}

TExprType TMathExpression::ExprType() {
    return kind_ == Trunc || kind_ == Round ? TExprType::Integer : TExprType::Float;
}

double TMathExpression::AsFloat() {
    switch (kind_) {
    case Trunc:
    case Round:
        return TExpression::AsFloat();
    case Pi:
        return std::numbers::pi;
    case Rnd:
        return Random01();
    case Intl: {
        // Checked here rather than when compiling, where INTL takes anything.
        if (ParameterCount() < 2)
            throw EExpression("Invalid parameters to INTL");
        const double x = Param(0).AsFloat();
        return CheckFloat(LookupInterpolationTable(Param(1).AsString(), x));
    }
    case Min:
    case Max: {
        if (ParameterCount() == 0)
            return 0;
        double result = Param(0).AsFloat();
        for (int i = 1; i < ParameterCount(); ++i) {
            const double v = Param(i).AsFloat();
            result = kind_ == Min ? std::min(result, v) : std::max(result, v);
        }
        return result;
    }
    case Med: {
        double sum = 0;
        for (int i = 0; i < ParameterCount(); ++i)
            sum = CheckFloat(sum + Param(i).AsFloat());
        return ParameterCount() == 0 ? 0 : sum / ParameterCount();
    }
    case Power: {
        const double x = Param(0).AsFloat();
        const double y = Param(1).AsFloat();
        return x == 0 ? 0 : FloatPower(x, y);
    }
    default:
        break;
    }
    const double x = Param(0).AsFloat();
    switch (kind_) {
    case Abs:
        return std::fabs(x);
    case ArcTan:
        return std::atan(x);
    case Cos:
        return std::cos(x);
    case Exp:
        return CheckFloat(std::exp(x));
    case Frac:
        return vx::Frac(x);
    case Int:
        return std::trunc(x);
    case Ln:
        if (!(x > 0))
            throw EMathError("Invalid floating point operation");
        return std::log(x);
    case Sin:
        return std::sin(x);
    case Sqr:
        return CheckFloat(x * x);
    case Sqrt:
        if (x < 0)
            throw EMathError("Invalid floating point operation");
        return std::sqrt(x);
    default:
        throw EExpression(Format("Internal parser error. Code %d", {11}));
    }
}

int32_t TMathExpression::AsInteger() {
    switch (kind_) {
    case Trunc:
        return CheckedInteger(vx::Trunc(Param(0).AsFloat()));
    case Round:
        return CheckedInteger(vx::Round(Param(0).AsFloat()));
    default:
        return TExpression::AsInteger();
    }
}

// ---- TTypeCast ----

TTypeCast::TTypeCast(TParameterList params, TExprType target)
    : TFunction(std::move(params)), target_(target) {}

bool TTypeCast::TestParameters() {
    if (ParameterCount() != 1)
        throw EExpression("Invalid parameters to typecast");
    if (target_ == TExprType::Enumerated)
        throw EExpression("Cannot cast to enumerated");
    source_ = Param(0).ExprType();
    const bool fromObject = source_ == TExprType::Object;
    if ((target_ == TExprType::Object) != fromObject &&
        !(fromObject && target_ == TExprType::String))
        throw EExpression(Format("Type %s is incompatible with type %s",
                                 {ExprTypeName(target_), ExprTypeName(source_)}));
    return true;
}

std::string TTypeCast::AsString() {
    if (target_ == TExprType::String)
        return Param(0).AsString();
    return TExpression::AsString();
}

double TTypeCast::AsFloat() {
    if (target_ != TExprType::Float)
        return TExpression::AsFloat();
    if (source_ != TExprType::String)
        return Param(0).AsFloat();
    const std::string text = Param(0).AsString();
    double value;
    // Texts in expressions always use '.', whatever the user's decimal separator.
    if (!TryStrToFloat(text, value, '.'))
        throw EExpression(Format("Cannot convert %s to float", {text}));
    return value;
}

int32_t TTypeCast::AsInteger() {
    if (target_ != TExprType::Integer)
        return TExpression::AsInteger();
    switch (source_) {
    case TExprType::String: {
        const std::string text = Param(0).AsString();
        int32_t value;
        if (!TryStrToInt(text, value))
            throw EExpression(Format("Cannot convert %s to integer", {text}));
        return value;
    }
    case TExprType::Float:
        return CheckedInteger(vx::Trunc(Param(0).AsFloat()));
    default:
        return Param(0).AsInteger();
    }
}

bool TTypeCast::AsBoolean() {
    if (target_ != TExprType::Boolean)
        return TExpression::AsBoolean();
    switch (source_) {
    case TExprType::String: {
        const std::string text = Param(0).AsString();
        const std::string upper = UpperCase(text);
        if (upper == "TRUE" || upper == "FALSE")
            return upper == "TRUE";
        throw EExpression(Format("Cannot convert %s to Boolean", {text}));
    }
    case TExprType::Float:
        return std::fabs(Param(0).AsFloat()) > 1e-30;
    case TExprType::Boolean:
        return Param(0).AsBoolean();
    default:
        return Param(0).AsInteger() != 0;
    }
}

TExprObject* TTypeCast::AsObject() {
    if (target_ != TExprType::Object)
        return TExpression::AsObject();
    return Param(0).AsObject();
}

// ---- TConditional ----

bool TConditional::TestParameters() {
    if (ParameterCount() != 3)
        throw EExpression("IF must have 3 parameters");
    if (Param(0).ExprType() != TExprType::Boolean)
        throw EExpression("First parameter to If must be Boolean");
    valueType_ = Param(1).ExprType();
    if (Param(2).ExprType() != valueType_)
        throw EExpression("IF options must be the same type");
    return true;
}

} // namespace vx
