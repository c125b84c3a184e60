#pragma once

// How the expression language reaches objects: their class names and their published
// properties, looked up by name.

#include "data/prExpr.h"

#include <functional>
#include <string>
#include <string_view>
#include <variant>

namespace vx {

enum class TPropertyKind : uint8_t { Integer, Char, Enumeration, Float, String, Class, Other };

using TPropertyValue = std::variant<int64_t, double, std::string, TExprObject*>;

// A published property: its kind, its type (for enumerations with the value names) and how
// to read it: ordinals as int64_t, floats as double, strings, objects.
struct TExprProperty {
    std::string Name;
    TPropertyKind Kind = TPropertyKind::Other;
    TTypeInfo Type;
    std::function<TPropertyValue(TExprObject&)> Read;
};

// An object whose published properties expressions can read.
class TExprObject {
public:
    virtual ~TExprObject() = default;
    virtual std::string ClassName() const = 0;
    // Ignoring case; null when the class publishes no such property.
    virtual const TExprProperty* FindProperty(std::string_view name) const = 0;
};

std::string ExprObjectClassName(TExprObject* object);

// A published property of an object, looked up when the node is built and read at each
// evaluation.
class TObjectProperty final : public TExpression {
public:
    TObjectProperty(TExprObject* object, std::string_view propertyName);
    const TTypeInfo& TypeInfo() override;
    std::string AsString() override;
    double AsFloat() override;
    int32_t AsInteger() override;
    bool AsBoolean() override;
    TExprObject* AsObject() override;
    TExprType ExprType() override { return type_; }
    std::string_view ClassName() const override { return "TObjectProperty"; }

private:
    TPropertyValue Read() const { return property_->Read(*object_); }

    TExprObject* object_;
    const TExprProperty* property_;
    TExprType type_;
};

} // namespace vx
