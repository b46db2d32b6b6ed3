// The tone of the Morse: its pitch and its edges, as the learner chose them, made ready to be
// played sample by sample without trigonometry. The sender's synthesis and the key screens'
// side-tone both play it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace keytut {

constexpr int kSamplesPerSecond = 8000;

// The pitches offered, in Hz: 400 to 1000 in steps of 50; 800 unless the learner chose another.
constexpr int kDefaultPitch = 800;
constexpr int kLowestPitch = 400;
constexpr int kHighestPitch = 1000;
constexpr int kPitchStep = 50;
bool pitchOffered(int hertz);

// A soft edge rises (or falls) over 5 ms.
constexpr std::size_t kEdgeSamples = 40;

// How the Morse sounds, as the learner chose it: the pitch, and whether each element rises and
// falls softly (a raised cosine over 5 ms at each end, inside the element's own length) or starts
// and stops at full strength.
struct ToneSettings {
    int pitch = kDefaultPitch;
    bool softEdges = false;
    bool operator==(const ToneSettings&) const = default;
};

// The tone ready to play without trigonometry: the shortest run of samples that holds whole
// cycles of the pitch (ten samples, one cycle, at 800 Hz; at most 160 samples, nine cycles of
// 450 Hz, say), and the gains of a soft edge.
class Tone {
  public:
    static constexpr std::size_t kLongestCycle = kSamplesPerSecond / kPitchStep;

    // A pitch that is not offered is refused with std::invalid_argument.
    explicit Tone(int amplitude, ToneSettings settings = {});

    const ToneSettings& settings() const { return settings_; }
    int amplitude() const { return amplitude_; }
    // The samples that repeat: sample k of a tone begun at phase 0 is cycle()[k % size].
    std::span<const std::int16_t> cycle() const { return {cycle_.data(), cycleLength_}; }
    std::int16_t at(std::size_t k) const { return cycle_[k % cycleLength_]; }

    // Sample k of a tone begun at phase 0, shaped for being `fromEdge` samples away from the
    // nearer end of its element: a raised cosine from 0 at the end itself to full strength
    // kEdgeSamples in, when the edges are soft; the plain tone when they are hard.
    std::int16_t shaped(std::size_t k, std::size_t fromEdge) const;

  private:
    ToneSettings settings_;
    int amplitude_;
    std::array<std::int16_t, kLongestCycle> cycle_{};
    std::size_t cycleLength_ = 0;
    std::array<float, kEdgeSamples> edge_{};
};

}  // namespace keytut
