// Rounding as the keying arithmetic does it: to the nearest integer, halves to even.
#pragma once

#include <cfenv>
#include <cmath>
#include <cstdint>

namespace keytut {

// Rounds to the nearest integer, an exact half to the even neighbour (2.5 -> 2, 3.5 -> 4).
inline std::int32_t roundHalfEven(double value) {
    // nearbyint follows the current rounding mode, which is to-nearest-even unless someone has
    // changed it; do not depend on that.
    double floor = std::floor(value);
    double diff = value - floor;
    double result = floor;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(floor, 2.0) != 0.0))
        result = floor + 1.0;
    return static_cast<std::int32_t>(result);
}

}  // namespace keytut

namespace keytut {

// 32-bit signed arithmetic that wraps as the hardware does (a path of dots and dashes keyed on
// and on doubles its number past the range); in C++ a signed overflow is undefined.
inline std::int32_t wrapping(std::int64_t value) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value)));
}

}  // namespace keytut
