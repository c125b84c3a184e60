#include "data/prExprMath.h"

#include "data/interpol.h"

#include "platform/runtime/Exceptions.h"

#include <cmath>
#include <limits>

namespace vx {

namespace {

[[noreturn]] void InvalidOperation() {
    throw EMathError("Invalid floating point operation");
}

} // namespace

double CheckFloat(double value) {
    if (std::isnan(value))
        InvalidOperation();
    if (std::isinf(value))
        throw EMathError("Floating point overflow");
    return value;
}

double FloatDivide(double x, double y) {
    if (y == 0) {
        if (x == 0)
            InvalidOperation();
        throw EMathError("Floating point division by zero");
    }
    return CheckFloat(x / y);
}

double FloatPower(double x, double y) {
    if (!(x > 0))
        InvalidOperation();
    const long double r =
        std::exp(static_cast<long double>(y) * std::log(static_cast<long double>(x)));
    return CheckFloat(static_cast<double>(r));
}

int32_t IntegerDiv(int32_t x, int32_t y) {
    if (y == 0)
        throw EMathError("Division by zero");
    if (x == std::numeric_limits<int32_t>::min() && y == -1)
        throw EMathError("Integer overflow");
    return x / y;
}

int32_t IntegerMod(int32_t x, int32_t y) {
    if (y == 0)
        throw EMathError("Division by zero");
    if (y == -1)
        return 0;
    return x % y;
}

int32_t CheckedInteger(int64_t value) {
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
        InvalidOperation();
    return static_cast<int32_t>(value);
}

double LookupInterpolationTable(const std::string& fileName, double x) {
    return InterpolBuff().Lookup(fileName, x);
}

} // namespace vx
