#pragma once

// How the expression language reaches objects: their class names and their published
// properties, read by name through the component meta layer.

#include "data/prExpr.h"

namespace vx {

std::string ExprObjectClassName(TExprObject* object);

// The value of a published property of an object, read at each evaluation.
IValueRef CreateObjectProperty(TExprObject* object, std::string_view propertyName);

// INTL: the value of the interpolation table in `fileName` at x; 0 without such a file.
double LookupInterpolationTable(const std::string& fileName, double x);

} // namespace vx
