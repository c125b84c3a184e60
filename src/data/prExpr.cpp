#include "data/prExpr.h"

#include "data/prExprMath.h"
#include "data/prExprObject.h"
#include "platform/runtime/Format.h"
#include "platform/runtime/Numbers.h"
#include "platform/runtime/Strings.h"

#include <array>

namespace vx {

namespace {

constexpr std::array<std::string_view, 6> kTypeNames = {"Object",  "String",     "Float",
                                                        "Integer", "Enumerated", "Boolean"};

constexpr std::array<std::string_view, 19> kOperatorNames = {
    "opNot",   "opExp", "opMult", "opDivide", "opDiv", "opMod", "opAnd", "opShl", "opShr", "opPlus",
    "opMinus", "opOr",  "opXor",  "opEq",     "opNEq", "opLT",  "opGT",  "opLTE", "opGTE"};

bool IsRelational(TExprOperator op) {
    return op >= TExprOperator::opEq;
}

// The type an arithmetic or logical operator gives over operands of one type, or false when
// the type does not admit it.
bool OperatorResult(TExprType operand, TExprOperator op, TExprType& result) {
    using enum TExprOperator;
    result = operand;
    switch (operand) {
    case TExprType::String:
        return op == opPlus;
    case TExprType::Float:
        return op == opExp || op == opMult || op == opDivide || op == opPlus || op == opMinus;
    case TExprType::Integer:
        if (op == opExp || op == opDivide)
            result = TExprType::Float;
        return true;
    case TExprType::Boolean:
        return op == opNot || op == opAnd || op == opOr || op == opXor;
    default:
        return false;
    }
}

TExprType CommonType(IValue& left, IValue& right) {
    const TExprType l = left.ExprType();
    const TExprType r = right.ExprType();
    if (l == TExprType::Object && r == TExprType::Object)
        return TExprType::Object;
    if (l == TExprType::Object || r == TExprType::Object)
        throw EExpression(
            Format("Type %s is incompatible with type %s", {ExprTypeName(l), ExprTypeName(r)}));
    return l < r ? l : r;
}

[[noreturn]] void InternalError(int code) {
    throw EExpression(Format("Internal parser error. Code %d", {code}));
}

[[noreturn]] void IncompatibleOperator(TExprOperator op, TExprType type) {
    throw EExpression(
        Format("Operator %s incompatible with %s", {OperatorName(op), ExprTypeName(type)}));
}

// Integers wrap at 32 bits, as the machine arithmetic they come from did.
int32_t Wrap(uint32_t v) {
    return static_cast<int32_t>(v);
}

const TTypeInfo kStringInfo{"String", {}};
const TTypeInfo kFloatInfo{"Float", {}};
const TTypeInfo kIntegerInfo{"Integer", {}};
const TTypeInfo kBooleanInfo{"Boolean", {}};

} // namespace

std::string_view ExprTypeName(TExprType type) {
    return kTypeNames[static_cast<size_t>(type)];
}

std::string_view OperatorName(TExprOperator op) {
    return kOperatorNames[static_cast<size_t>(op)];
}

bool IValue::CanReadAs(TExprType type) {
    const TExprType own = ExprType();
    if (own == TExprType::Object)
        return type == TExprType::Object;
    return type != TExprType::Object && own >= type;
}

// ---- base conversions ----

const TTypeInfo& TExpression::TypeInfo() {
    switch (ExprType()) {
    case TExprType::String:
        return kStringInfo;
    case TExprType::Float:
        return kFloatInfo;
    case TExprType::Integer:
        return kIntegerInfo;
    case TExprType::Boolean:
        return kBooleanInfo;
    default:
        throw EExpression(Format("Cannot provide TypeInfo for %s", {ClassName()}));
    }
}

std::string TExpression::TypeName() {
    return std::string(TypeInfo().Name);
}

std::string TExpression::AsString() {
    switch (const TExprType type = ExprType()) {
    case TExprType::Object:
        return std::string(ExprObjectClassName(AsObject()));
    case TExprType::Float:
        return FloatToStr(AsFloat());
    case TExprType::Integer:
        return IntToStr(AsInteger());
    case TExprType::Enumerated: {
        const int32_t ordinal = AsInteger();
        const auto& names = TypeInfo().EnumNames;
        if (ordinal >= 0 && static_cast<size_t>(ordinal) < names.size())
            return names[static_cast<size_t>(ordinal)];
        return IntToStr(ordinal);
    }
    case TExprType::Boolean:
        return AsBoolean() ? "TRUE" : "FALSE";
    default:
        throw EExpression(Format("Cannot read %s as String", {ExprTypeName(type)}));
    }
}

double TExpression::AsFloat() {
    const TExprType type = ExprType();
    if (type == TExprType::Integer || type == TExprType::Enumerated || type == TExprType::Boolean)
        return AsInteger();
    throw EExpression(Format("Cannot read %s as Float", {ExprTypeName(type)}));
}

int32_t TExpression::AsInteger() {
    const TExprType type = ExprType();
    if (type == TExprType::Boolean)
        return AsBoolean() ? 1 : 0;
    throw EExpression(Format("Cannot read %s as Integer", {ExprTypeName(type)}));
}

bool TExpression::AsBoolean() {
    throw EExpression(Format("Cannot read %s as boolean", {ExprTypeName(ExprType())}));
}

TExprObject* TExpression::AsObject() {
    throw EExpression(Format("Cannot read %s as object", {ExprTypeName(ExprType())}));
}

// ---- TUnaryOp ----

TUnaryOp::TUnaryOp(TExprOperator op, IValueRef operand)
    : operand_(std::move(operand)), operator_(op) {
    using enum TExprOperator;
    if (op != opNot && op != opPlus && op != opMinus)
        throw EExpression(Format("%s is not simple unary operator", {OperatorName(op)}));
    operandType_ = operand_->ExprType();
    valid_ = OperatorResult(operandType_, op, resultType_);
}

TExprType TUnaryOp::ExprType() {
    if (!valid_)
        IncompatibleOperator(operator_, operandType_);
    return resultType_;
}

std::string TUnaryOp::AsString() {
    if (ExprType() == TExprType::String)
        return operand_->AsString();
    return TExpression::AsString();
}

double TUnaryOp::AsFloat() {
    if (ExprType() != TExprType::Float)
        return TExpression::AsFloat();
    const double v = operand_->AsFloat();
    return operator_ == TExprOperator::opMinus ? -v : v;
}

int32_t TUnaryOp::AsInteger() {
    if (ExprType() != TExprType::Integer)
        return TExpression::AsInteger();
    const auto v = static_cast<uint32_t>(operand_->AsInteger());
    switch (operator_) {
    case TExprOperator::opPlus:
        return Wrap(v);
    case TExprOperator::opMinus:
        return Wrap(0u - v);
    case TExprOperator::opNot:
        return Wrap(~v);
    default:
        InternalError(6);
    }
}

bool TUnaryOp::AsBoolean() {
    if (ExprType() != TExprType::Boolean)
        return TExpression::AsBoolean();
    return !operand_->AsBoolean();
}

// ---- TBinaryOp ----

TBinaryOp::TBinaryOp(TExprOperator op, IValueRef left, IValueRef right)
    : left_(std::move(left)), right_(std::move(right)), operator_(op) {
    if (op < TExprOperator::opExp || op > TExprOperator::opXor)
        throw EExpression(Format("%s is not a simple binary operator", {OperatorName(op)}));
    operandType_ = CommonType(*left_, *right_);
    valid_ = OperatorResult(operandType_, op, resultType_);
}

TExprType TBinaryOp::ExprType() {
    if (!valid_)
        IncompatibleOperator(operator_, operandType_);
    return resultType_;
}

std::string TBinaryOp::AsString() {
    if (ExprType() != TExprType::String)
        return TExpression::AsString();
    if (operator_ != TExprOperator::opPlus)
        InternalError(10);
    return left_->AsString() + right_->AsString();
}

double TBinaryOp::AsFloat() {
    if (ExprType() != TExprType::Float)
        return TExpression::AsFloat();
    const double l = left_->AsFloat();
    const double r = right_->AsFloat();
    switch (operator_) {
    case TExprOperator::opExp:
        return FloatPower(l, r);
    case TExprOperator::opMult:
        return CheckFloat(l * r);
    case TExprOperator::opDivide:
        return FloatDivide(l, r);
    case TExprOperator::opPlus:
        return CheckFloat(l + r);
    case TExprOperator::opMinus:
        return CheckFloat(l - r);
    default:
        InternalError(11);
    }
}

int32_t TBinaryOp::AsInteger() {
    if (ExprType() != TExprType::Integer)
        return TExpression::AsInteger();
    const int32_t l = left_->AsInteger();
    const int32_t r = right_->AsInteger();
    const auto ul = static_cast<uint32_t>(l);
    const auto ur = static_cast<uint32_t>(r);
    switch (operator_) {
    case TExprOperator::opMult:
        return Wrap(ul * ur);
    case TExprOperator::opDiv:
        return IntegerDiv(l, r);
    case TExprOperator::opMod:
        return IntegerMod(l, r);
    case TExprOperator::opAnd:
        return Wrap(ul & ur);
    case TExprOperator::opOr:
        return Wrap(ul | ur);
    case TExprOperator::opXor:
        return Wrap(ul ^ ur);
    case TExprOperator::opShl:
        return Wrap(ul << (ur & 31));
    case TExprOperator::opShr:
        return Wrap(ul >> (ur & 31));
    case TExprOperator::opPlus:
        return Wrap(ul + ur);
    case TExprOperator::opMinus:
        return Wrap(ul - ur);
    default:
        InternalError(12);
    }
}

bool TBinaryOp::AsBoolean() {
    if (ExprType() != TExprType::Boolean)
        return TExpression::AsBoolean();
    switch (operator_) {
    case TExprOperator::opAnd:
        return left_->AsBoolean() && right_->AsBoolean();
    case TExprOperator::opOr:
        return left_->AsBoolean() || right_->AsBoolean();
    case TExprOperator::opXor:
        return left_->AsBoolean() != right_->AsBoolean();
    default:
        InternalError(13);
    }
}

// ---- TRelationalOp ----

TRelationalOp::TRelationalOp(TExprOperator op, IValueRef left, IValueRef right)
    : left_(std::move(left)), right_(std::move(right)), operator_(op) {
    if (!IsRelational(op))
        throw EExpression(Format("%s is not relational operator", {OperatorName(op)}));
    operandType_ = CommonType(*left_, *right_);
}

namespace {

template <class T>
bool Compare(TExprOperator op, const T& l, const T& r) {
    switch (op) {
    case TExprOperator::opEq:
        return l == r;
    case TExprOperator::opNEq:
        return l != r;
    case TExprOperator::opLT:
        return l < r;
    case TExprOperator::opGT:
        return l > r;
    case TExprOperator::opLTE:
        return l <= r;
    default:
        return l >= r;
    }
}

} // namespace

bool TRelationalOp::AsBoolean() {
    switch (operandType_) {
    case TExprType::String:
        // std::string compares unsigned bytes: the character codes.
        return Compare(operator_, left_->AsString(), right_->AsString());
    case TExprType::Float:
        return Compare(operator_, left_->AsFloat(), right_->AsFloat());
    case TExprType::Integer:
        return Compare(operator_, left_->AsInteger(), right_->AsInteger());
    case TExprType::Boolean:
        if (operator_ != TExprOperator::opEq && operator_ != TExprOperator::opNEq)
            throw EExpression(
                Format("cannot apply %s to boolean operands", {OperatorName(operator_)}));
        return Compare(operator_, left_->AsBoolean(), right_->AsBoolean());
    default:
        return false;
    }
}

std::string TRelationalOp::AsString() {
    return AsBoolean() ? "TRUE" : "FALSE";
}

double TRelationalOp::AsFloat() {
    return AsBoolean() ? 1 : 0;
}

int32_t TRelationalOp::AsInteger() {
    return AsBoolean() ? 1 : 0;
}

} // namespace vx
