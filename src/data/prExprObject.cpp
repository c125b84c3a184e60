#include "data/prExprObject.h"

#include "platform/runtime/Format.h"

namespace vx {

std::string ExprObjectClassName(TExprObject* object) {
    return object ? object->ClassName() : "nil";
}

namespace {

TExprType PropertyType(const TExprProperty& property) {
    switch (property.Kind) {
    case TPropertyKind::Integer:
    case TPropertyKind::Char:
        return TExprType::Integer;
    case TPropertyKind::Enumeration:
        return property.Type.Name == "Boolean" ? TExprType::Boolean : TExprType::Enumerated;
    case TPropertyKind::Float:
        return TExprType::Float;
    case TPropertyKind::String:
        return TExprType::String;
    case TPropertyKind::Class:
        return TExprType::Object;
    default:
        throw EExpression(Format("Property %s unsupported type", {property.Name}));
    }
}

} // namespace

TObjectProperty::TObjectProperty(TExprObject* object, std::string_view propertyName)
    : object_(object) {
    property_ = object ? object->FindProperty(propertyName) : nullptr;
    if (!property_)
        throw EExpression(Format("%s is not published property of %s",
                                 {propertyName, ExprObjectClassName(object)}));
    type_ = PropertyType(*property_);
}

const TTypeInfo& TObjectProperty::TypeInfo() {
    if (type_ == TExprType::Enumerated)
        return property_->Type;
    return TExpression::TypeInfo();
}

std::string TObjectProperty::AsString() {
    if (type_ == TExprType::String)
        return std::get<std::string>(Read());
    return TExpression::AsString();
}

double TObjectProperty::AsFloat() {
    if (type_ == TExprType::Float)
        return std::get<double>(Read());
    return TExpression::AsFloat();
}

int32_t TObjectProperty::AsInteger() {
    if (type_ == TExprType::Integer || type_ == TExprType::Enumerated)
        return static_cast<int32_t>(std::get<int64_t>(Read()));
    return TExpression::AsInteger();
}

bool TObjectProperty::AsBoolean() {
    if (type_ == TExprType::Boolean)
        return std::get<int64_t>(Read()) != 0;
    return TExpression::AsBoolean();
}

TExprObject* TObjectProperty::AsObject() {
    if (type_ == TExprType::Object)
        return std::get<TExprObject*>(Read());
    return TExpression::AsObject();
}

} // namespace vx
