// Multiply-then-divide with the platform's rounding, for code that must agree pixel for
// pixel with what the Windows function gives, but also builds and is tested off Windows.
#pragma once
#include <cstdint>

namespace qx {

// number * numerator / denominator, the product taken in 64 bits and the quotient rounded
// to the nearest integer, halves away from zero. -1 when the denominator is 0 or the result
// lies outside -(2^31 - 1)..2^31 - 1 (the platform's own error value, ambiguous as it is).
int MulDiv(int number, int numerator, int denominator);

// The same rounding on 64-bit operands, for callers whose differences may not fit in 32 bits.
// The product must fit in 64 bits; the result is not range-checked.
std::int64_t MulDiv64(std::int64_t number, std::int64_t numerator, std::int64_t denominator);

}  // namespace qx
