#include "MulDiv.h"

#include <limits>

namespace qx {

std::int64_t MulDiv64(std::int64_t number, std::int64_t numerator, std::int64_t denominator) {
    std::int64_t product = number * numerator;
    if (denominator < 0) {
        product = -product;
        denominator = -denominator;
    }
    const std::int64_t half = denominator / 2;
    return product >= 0 ? (product + half) / denominator : (product - half) / denominator;
}

int MulDiv(int number, int numerator, int denominator) {
    if (denominator == 0) return -1;
    const std::int64_t q = MulDiv64(number, numerator, denominator);
    // The platform treats -2^31 as out of range too: results are symmetric about 0.
    if (q > std::numeric_limits<int>::max() || q < -std::numeric_limits<int>::max()) return -1;
    return static_cast<int>(q);
}

}  // namespace qx
