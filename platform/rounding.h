#pragma once
// Real-to-integer conversions. The system rounds to the nearest integer with
// halves to even unless it says truncation; extended precision is long double.

#include <cstdint>

namespace qrp {

// Nearest integer, halves to the even neighbour: 0.5 → 0, 1.5 → 2, -2.5 → -2.
std::int64_t Round(long double value);

// Towards zero: 2.9 → 2, -2.9 → -2.
std::int64_t Trunc(long double value);

// value × numerator / denominator with a 64-bit intermediate, rounded to the
// nearest with halves away from zero; denominator 0 gives -1.
std::int32_t MulDiv(std::int32_t value, std::int32_t numerator, std::int32_t denominator);

}  // namespace qrp
