#include "synthesis.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace keytut {

std::int32_t dotSamples(int wpm) {
    return static_cast<std::int32_t>(std::lround(9200.0 / wpm));
}

SineTable buildSineTable(int amplitude) {
    SineTable table{};
    const double pi = 4.0 * std::atan(1.0);
    double phase = 0.0;
    for (auto& sample : table) {
        sample = static_cast<std::int16_t>(std::lround(std::sin(phase) * amplitude));
        phase += 2.0 * pi * kToneFrequency / kSamplesPerSecond;
        if (phase > 2.0 * pi)
            phase -= 2.0 * pi;
    }
    return table;
}

namespace {
class SampleWriter {
  public:
    explicit SampleWriter(std::span<std::int16_t> buffer) : buffer_(buffer) {}
    void silence(std::size_t length) {
        std::size_t n = std::min(length, buffer_.size() - count_);
        std::fill_n(buffer_.begin() + count_, n, std::int16_t{0});
        count_ += n;
    }
    void tone(std::size_t length, const SineTable& sine) {
        std::size_t n = std::min(length, buffer_.size() - count_);
        // Every element starts one step into the cycle, at table entry 1.
        for (std::size_t k = 1; k <= n; ++k)
            buffer_[count_++] = sine[k % sine.size()];
    }
    std::size_t count() const { return count_; }

  private:
    std::span<std::int16_t> buffer_;
    std::size_t count_ = 0;
};
}  // namespace

std::size_t synthesiseCharacter(char character, const CodeTable& table, const SineTable& sine,
                                const Timing& timing, std::span<std::int16_t> buffer) {
    SampleWriter out(buffer);
    if (character == ' ' || character == '\r') {
        out.silence(4 * static_cast<std::size_t>(timing.wordDotSamples));
        return out.count();
    }
    const auto& row = table.codeElements[static_cast<unsigned char>(character)];
    if (row[0] == 0)
        return 0;
    for (int j = 0; j < kMaxElements && row[j] != 0; ++j) {
        if (j > 0)
            out.silence(timing.charDotSamples);
        out.tone(static_cast<std::size_t>(row[j]) * timing.charDotSamples, sine);
    }
    out.silence(3 * static_cast<std::size_t>(timing.wordDotSamples));
    return out.count();
}

namespace {
int wpmAt(int index) {
    return std::atoi(speedChoices.at(static_cast<std::size_t>(index)));
}
}  // namespace

void SpeedSettings::chooseCharacterSpeed(int index, Timing& timing) {
    charIndex = index;
    timing.charDotSamples = dotSamples(wpmAt(index));
    if (timing.wordDotSamples < timing.charDotSamples) {
        wordIndex = charIndex;
        timing.wordDotSamples = timing.charDotSamples;
    }
}

void SpeedSettings::chooseWordSpeed(int index, Timing& timing) {
    wordIndex = index;
    timing.wordDotSamples = dotSamples(wpmAt(index));
    if (timing.wordDotSamples < timing.charDotSamples) {
        charIndex = wordIndex;
        timing.charDotSamples = timing.wordDotSamples;
    }
}

}  // namespace keytut
