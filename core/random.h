// The one pseudo-random generator that every exercise draws from.
#pragma once

#include <cstdint>
#include <random>
#include <string>

namespace keytut {

class Random {
  public:
    explicit Random(std::uint64_t seed = 1) : engine_(seed) {}
    void seed(std::uint64_t seed) { engine_.seed(seed); }
    // Seeds from the time of day.
    void seedFromClock();

    // The next value in [0, 1).
    double next() { return static_cast<double>(engine_() >> 11) * 0x1.0p-53; }
    // A position in 0 .. count - 1: floor(next() * count). count must be positive.
    std::size_t index(std::size_t count) {
        auto i = static_cast<std::size_t>(next() * static_cast<double>(count));
        return i < count ? i : count - 1;
    }
    // A random character of a non-empty text; draws are independent and with replacement.
    char characterOf(const std::string& text) { return text[index(text.size())]; }

  private:
    std::mt19937_64 engine_;
};

}  // namespace keytut
