#include "data/prExprObject.h"

#include "platform/runtime/Format.h"

namespace vx {

std::string ExprObjectClassName(TExprObject* object) {
    return "TObject";
}

IValueRef CreateObjectProperty(TExprObject* object, std::string_view propertyName) {
    throw EExpression(
        Format("%s is not published property of %s", {propertyName, ExprObjectClassName(object)}));
}

double LookupInterpolationTable(const std::string& fileName, double x) {
    return 0;
}

} // namespace vx
