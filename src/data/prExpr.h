#pragma once

// The expression language: a text is compiled once into a tree of reference-counted nodes,
// which is then evaluated as often as needed, each node computing its value from its children.

#include "platform/runtime/Exceptions.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vx {

class TComponent;
class TExprObject;

// The codes are ordered: a value reads as every type whose code is at most its own.
enum class TExprType : uint8_t { Object, String, Float, Integer, Enumerated, Boolean };

enum class TExprOperator : uint8_t {
    opNot,
    opExp,
    opMult,
    opDivide,
    opDiv,
    opMod,
    opAnd,
    opShl,
    opShr,
    opPlus,
    opMinus,
    opOr,
    opXor,
    opEq,
    opNEq,
    opLT,
    opGT,
    opLTE,
    opGTE,
};

// "Object", "String", ... as they appear in messages.
std::string_view ExprTypeName(TExprType type);
// "opNot", "opExp", ... as they appear in messages.
std::string_view OperatorName(TExprOperator op);

class EExpression : public Exception {
    using Exception::Exception;
};

// What a node can tell about the type of its value: the type's name and, for enumerations,
// the names of its values by ordinal.
struct TTypeInfo {
    std::string_view Name;
    std::vector<std::string> EnumNames;
};

// The interface through which a compiled expression is used. Counting is not atomic: a tree
// belongs to the thread that compiled it.
class IValue {
public:
    IValue() = default;
    IValue(const IValue&) = delete;
    IValue& operator=(const IValue&) = delete;

    void AddRef() const { ++refCount_; }
    void Release() const {
        if (--refCount_ == 0)
            delete this;
    }

    virtual bool TestParameters() = 0;
    bool CanReadAs(TExprType type);
    virtual const TTypeInfo& TypeInfo() = 0;
    virtual std::string AsString() = 0;
    virtual double AsFloat() = 0;
    virtual int32_t AsInteger() = 0;
    virtual bool AsBoolean() = 0;
    virtual TExprObject* AsObject() = 0;
    virtual TExprType ExprType() = 0;
    virtual std::string TypeName() = 0;

protected:
    virtual ~IValue() = default;

private:
    mutable int refCount_ = 0;
};

// Shared ownership of a node; the caller's reference to the root keeps the whole tree.
class IValueRef {
public:
    IValueRef() = default;
    IValueRef(IValue* value) : p_(value) {
        if (p_)
            p_->AddRef();
    }
    IValueRef(const IValueRef& other) : IValueRef(other.p_) {}
    IValueRef(IValueRef&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    IValueRef& operator=(IValueRef other) noexcept {
        std::swap(p_, other.p_);
        return *this;
    }
    ~IValueRef() {
        if (p_)
            p_->Release();
    }
    IValue* operator->() const { return p_; }
    IValue& operator*() const { return *p_; }
    IValue* Get() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

private:
    IValue* p_ = nullptr;
};

// Base of every node. The base conversions read a value of one type as another where the
// language allows it and raise EExpression where it does not.
class TExpression : public IValue {
public:
    bool TestParameters() override { return true; }
    const TTypeInfo& TypeInfo() override;
    std::string AsString() override;
    double AsFloat() override;
    int32_t AsInteger() override;
    bool AsBoolean() override;
    TExprObject* AsObject() override;
    std::string TypeName() override;
    // Without a namespace, as in messages.
    virtual std::string_view ClassName() const = 0;
};

class TStringLiteral final : public TExpression {
public:
    explicit TStringLiteral(std::string value) : value_(std::move(value)) {}
    std::string AsString() override { return value_; }
    TExprType ExprType() override { return TExprType::String; }
    std::string_view ClassName() const override { return "TStringLiteral"; }

private:
    std::string value_;
};

class TFloatLiteral final : public TExpression {
public:
    explicit TFloatLiteral(double value) : value_(value) {}
    double AsFloat() override { return value_; }
    TExprType ExprType() override { return TExprType::Float; }
    std::string_view ClassName() const override { return "TFloatLiteral"; }

private:
    double value_;
};

class TIntegerLiteral final : public TExpression {
public:
    explicit TIntegerLiteral(int32_t value) : value_(value) {}
    int32_t AsInteger() override { return value_; }
    TExprType ExprType() override { return TExprType::Integer; }
    std::string_view ClassName() const override { return "TIntegerLiteral"; }

private:
    int32_t value_;
};

class TBooleanLiteral final : public TExpression {
public:
    explicit TBooleanLiteral(bool value) : value_(value) {}
    bool AsBoolean() override { return value_; }
    TExprType ExprType() override { return TExprType::Boolean; }
    std::string_view ClassName() const override { return "TBooleanLiteral"; }

private:
    bool value_;
};

// NOT, + or - applied to one operand. An operator the operand's type does not admit is
// reported when the node's type is first asked.
class TUnaryOp final : public TExpression {
public:
    TUnaryOp(TExprOperator op, IValueRef operand);
    std::string AsString() override;
    double AsFloat() override;
    int32_t AsInteger() override;
    bool AsBoolean() override;
    TExprType ExprType() override;
    std::string_view ClassName() const override { return "TUnaryOp"; }

private:
    IValueRef operand_;
    TExprType operandType_;
    TExprOperator operator_;
    TExprType resultType_;
    bool valid_;
};

// The operators from ^ to XOR over the common type of both operands.
class TBinaryOp final : public TExpression {
public:
    TBinaryOp(TExprOperator op, IValueRef left, IValueRef right);
    std::string AsString() override;
    double AsFloat() override;
    int32_t AsInteger() override;
    bool AsBoolean() override;
    TExprType ExprType() override;
    std::string_view ClassName() const override { return "TBinaryOp"; }

private:
    IValueRef left_;
    IValueRef right_;
    TExprOperator operator_;
    TExprType operandType_;
    TExprType resultType_;
    bool valid_;
};

// The comparisons; always Boolean.
class TRelationalOp final : public TExpression {
public:
    TRelationalOp(TExprOperator op, IValueRef left, IValueRef right);
    std::string AsString() override;
    double AsFloat() override;
    int32_t AsInteger() override;
    bool AsBoolean() override;
    TExprType ExprType() override { return TExprType::Boolean; }
    std::string_view ClassName() const override { return "TRelationalOp"; }

private:
    IValueRef left_;
    IValueRef right_;
    TExprType operandType_;
    TExprOperator operator_;
};

// The parameters of a function; a function written without parentheses has none. The first
// few live inside the list, as most functions take no more.
class TParameterList {
public:
    int Count() const { return count_; }
    IValue& Param(int index) const {
        return index < kInline ? *inline_[index] : *more_[static_cast<size_t>(index - kInline)];
    }
    void Add(IValueRef value) {
        if (count_ < kInline)
            inline_[count_] = std::move(value);
        else
            more_.push_back(std::move(value));
        ++count_;
    }

private:
    static constexpr int kInline = 3;
    IValueRef inline_[kInline];
    std::vector<IValueRef> more_;
    int count_ = 0;
};

// Base of the named functions of the language and of those that callers add.
class TFunction : public TExpression {
public:
    explicit TFunction(TParameterList params) : params_(std::move(params)) {}
    int ParameterCount() const { return params_.Count(); }
    IValue& Param(int index) const { return params_.Param(index); }
    std::string_view ClassName() const override { return "TFunction"; }

private:
    TParameterList params_;
};

// UPPER, LOWER, COPY, POS, LENGTH.
class TStringExpression final : public TFunction {
public:
    enum TKind : uint8_t { Upper, Lower, CopyOf, PosOf, LengthOf };
    TStringExpression(TParameterList params, TKind kind);
    bool TestParameters() override;
    std::string AsString() override;
    int32_t AsInteger() override;
    TExprType ExprType() override;
    std::string_view ClassName() const override { return "TStringExpression"; }

private:
    TKind kind_;
};

// The numeric functions, from TRUNC to RND.
class TMathExpression final : public TFunction {
public:
    enum TKind : uint8_t {
        Trunc,
        Round,
        Abs,
        ArcTan,
        Cos,
        Exp,
        Frac,
        Int,
        Ln,
        Pi,
        Sin,
        Sqr,
        Sqrt,
        Power,
        Intl,
        Min,
        Max,
        Med,
        Rnd,
    };
    TMathExpression(TParameterList params, TKind kind);
    bool TestParameters() override;
    double AsFloat() override;
    int32_t AsInteger() override;
    TExprType ExprType() override;
    std::string_view ClassName() const override { return "TMathExpression"; }

private:
    TKind kind_;
};

// OBJECT, STRING, FLOAT, INTEGER, ENUMERATED, BOOLEAN.
class TTypeCast final : public TFunction {
public:
    TTypeCast(TParameterList params, TExprType target);
    bool TestParameters() override;
    std::string AsString() override;
    double AsFloat() override;
    int32_t AsInteger() override;
    bool AsBoolean() override;
    TExprObject* AsObject() override;
    TExprType ExprType() override { return target_; }
    std::string_view ClassName() const override { return "TTypeCast"; }

private:
    TExprType source_ = TExprType::Object;
    TExprType target_;
};

// IF(c, a, b): only the chosen branch is evaluated.
class TConditional final : public TFunction {
public:
    explicit TConditional(TParameterList params) : TFunction(std::move(params)) {}
    bool TestParameters() override;
    std::string AsString() override { return Chosen().AsString(); }
    double AsFloat() override { return Chosen().AsFloat(); }
    int32_t AsInteger() override { return Chosen().AsInteger(); }
    bool AsBoolean() override { return Chosen().AsBoolean(); }
    TExprObject* AsObject() override { return Chosen().AsObject(); }
    TExprType ExprType() override { return valueType_; }
    std::string_view ClassName() const override { return "TConditional"; }

private:
    IValue& Chosen() { return Param(0).AsBoolean() ? Param(1) : Param(2); }
    TExprType valueType_ = TExprType::Object;
};

// Lets callers add identifiers: given the upper-cased name and the parameters, a node, or an
// empty reference when the name is not theirs. Context objects are bound into the function.
using TIdentifierFunction = std::function<IValueRef(std::string_view name, TParameterList params)>;

// Compiles the whole text into `value`; raises EExpression and leaves `value` empty on
// failure. Integer and float literals that cannot be held raise EConvertError.
void CreateExpression(std::string_view text, IValueRef& value,
                      const TIdentifierFunction& identifierFunction = {});

} // namespace vx
