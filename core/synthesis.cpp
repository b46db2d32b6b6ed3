#include "synthesis.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace keytut {

std::int32_t dotSamples(int wpm) {
    return static_cast<std::int32_t>(std::lround(9200.0 / wpm));
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
    void tone(std::size_t length, const Tone& tone) {
        std::size_t n = std::min(length, buffer_.size() - count_);
        // Every element starts one step into the cycle; a soft edge is measured from the
        // element's own first and last samples, even where the buffer cuts it short.
        for (std::size_t k = 1; k <= n; ++k)
            buffer_[count_++] = tone.shaped(k, std::min(k - 1, length - k));
    }
    std::size_t count() const { return count_; }

  private:
    std::span<std::int16_t> buffer_;
    std::size_t count_ = 0;
};
}  // namespace

std::size_t synthesiseCharacter(char character, const CodeTable& table, const Tone& tone,
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
        out.tone(static_cast<std::size_t>(row[j]) * timing.charDotSamples, tone);
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
