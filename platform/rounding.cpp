#include "platform/rounding.h"

#include <cfenv>
#include <cmath>
#include <limits>

namespace qrp {

namespace {
// Out-of-range and NaN inputs saturate instead of invoking undefined conversions.
std::int64_t Saturate(long double integral)
{
    constexpr auto lo = static_cast<long double>(std::numeric_limits<std::int64_t>::min());
    constexpr auto hi = static_cast<long double>(std::numeric_limits<std::int64_t>::max());
    if (std::isnan(integral))
        return 0;
    if (integral <= lo)
        return std::numeric_limits<std::int64_t>::min();
    if (integral >= hi)
        return std::numeric_limits<std::int64_t>::max();
    return static_cast<std::int64_t>(integral);
}
}  // namespace

std::int64_t Round(long double value)
{
    // nearbyint follows the current rounding mode, which is to-nearest-even unless changed.
    const int savedMode = std::fegetround();
    if (savedMode != FE_TONEAREST)
        std::fesetround(FE_TONEAREST);
    const long double rounded = std::nearbyint(value);
    if (savedMode != FE_TONEAREST)
        std::fesetround(savedMode);
    return Saturate(rounded);
}

std::int64_t Trunc(long double value) { return Saturate(std::trunc(value)); }

std::int32_t MulDiv(std::int32_t value, std::int32_t numerator, std::int32_t denominator)
{
    if (denominator == 0)
        return -1;
    const std::int64_t product = static_cast<std::int64_t>(value) * numerator;
    std::int64_t half = denominator / 2;
    if (half < 0)
        half = -half;
    const bool negative = (product < 0) != (denominator < 0);
    const std::int64_t magnitude = (product < 0 ? -product : product) + half;
    const std::int64_t quotient = magnitude / (denominator < 0 ? -static_cast<std::int64_t>(denominator) : denominator);
    const std::int64_t result = negative ? -quotient : quotient;
    if (result > std::numeric_limits<std::int32_t>::max() || result < std::numeric_limits<std::int32_t>::min())
        return -1;
    return static_cast<std::int32_t>(result);
}

}  // namespace qrp
