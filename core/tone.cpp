#include "tone.h"

#include <cmath>
#include <numbers>
#include <numeric>
#include <stdexcept>
#include <string>

namespace keytut {

bool pitchOffered(int hertz) {
    return hertz >= kLowestPitch && hertz <= kHighestPitch && hertz % kPitchStep == 0;
}

Tone::Tone(int amplitude, ToneSettings settings) : settings_(settings), amplitude_(amplitude) {
    if (!pitchOffered(settings.pitch)) {
        throw std::invalid_argument("pitch " + std::to_string(settings.pitch) +
                                    " Hz is not offered (" + std::to_string(kLowestPitch) + " to " +
                                    std::to_string(kHighestPitch) + " in steps of " +
                                    std::to_string(kPitchStep) + ")");
    }
    // The tone repeats after the fewest samples that hold a whole number of cycles.
    cycleLength_ =
        static_cast<std::size_t>(kSamplesPerSecond / std::gcd(kSamplesPerSecond, settings.pitch));
    const double pi = std::numbers::pi;
    for (std::size_t i = 0; i < cycleLength_; ++i) {
        const double phase = 2.0 * pi * settings.pitch * static_cast<double>(i) / kSamplesPerSecond;
        cycle_[i] = static_cast<std::int16_t>(std::lround(std::sin(phase) * amplitude));
    }
    for (std::size_t j = 0; j < kEdgeSamples; ++j) {
        edge_[j] =
            static_cast<float>(0.5 * (1.0 - std::cos(pi * static_cast<double>(j) / kEdgeSamples)));
    }
}

std::int16_t Tone::shaped(std::size_t k, std::size_t fromEdge) const {
    const std::int16_t plain = at(k);
    if (!settings_.softEdges || fromEdge >= kEdgeSamples)
        return plain;
    return static_cast<std::int16_t>(std::lround(plain * edge_[fromEdge]));
}

}  // namespace keytut
