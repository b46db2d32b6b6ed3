// The tone's pitch and soft edges: every pitch offered sounds at its frequency and full strength;
// a pitch that is not offered is refused; soft edges start and end each element at zero within
// its own samples, leave its middle and its peak as they were, and take away the energy that the
// hard edges' clicks spread far from the tone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <stdexcept>
#include <vector>

#include "core/code_table.h"
#include "core/synthesis.h"
#include "tests/editions.h"

using namespace keytut;

namespace {

CodeTable table() {
    CodeTable t;
    CollectingMessageSink sink;
    loadCodeTableFrom(t, "69,.\r\n84,-\r\n65,.-\r\n33,-------\r\n", sink);
    return t;
}

using Samples = std::vector<std::int16_t>;

Samples synth(char c, Timing timing, const Tone& tone) {
    Samples buffer(kSampleBufferSize);
    buffer.resize(synthesiseCharacter(c, table(), tone, timing, buffer));
    return buffer;
}

std::vector<int> offeredPitches() {
    std::vector<int> pitches;
    for (int hz = kLowestPitch; hz <= kHighestPitch; hz += kPitchStep)
        pitches.push_back(hz);
    return pitches;
}

int peak(const Samples& s) {
    int most = 0;
    for (auto v : s)
        most = std::max(most, std::abs(static_cast<int>(v)));
    return most;
}

// The share of the energy of `s` that lies further than `away` Hz from `pitch`, by a plain
// discrete Fourier transform over the whole of `s`.
double shareAwayFrom(const Samples& s, double pitch, double away) {
    const std::size_t n = s.size();
    std::vector<double> cosines(n), sines(n);
    for (std::size_t i = 0; i < n; ++i) {
        cosines[i] = std::cos(2 * std::numbers::pi * static_cast<double>(i) / n);
        sines[i] = std::sin(2 * std::numbers::pi * static_cast<double>(i) / n);
    }
    double all = 0, far = 0;
    for (std::size_t k = 1; k < n / 2; ++k) {
        double re = 0, im = 0;
        for (std::size_t i = 0; i < n; ++i) {
            re += s[i] * cosines[(k * i) % n];
            im += s[i] * sines[(k * i) % n];
        }
        const double energy = re * re + im * im;
        all += energy;
        const double hz = static_cast<double>(k) * kSamplesPerSecond / n;
        if (std::abs(hz - pitch) > away)
            far += energy;
    }
    return far / all;
}

}  // namespace

TEST(Pitch, OfferedFrom400To1000HzInStepsOf50) {
    EXPECT_EQ(offeredPitches().size(), 13u);
    for (int hz : offeredPitches()) {
        EXPECT_TRUE(pitchOffered(hz)) << hz;
        EXPECT_NO_THROW(Tone(5000, {hz, true})) << hz;
    }
    for (int hz : {-800, 0, 350, 399, 401, 425, 799, 1050, 1200}) {
        EXPECT_FALSE(pitchOffered(hz)) << hz;
        EXPECT_THROW(Tone(5000, {hz, false}), std::invalid_argument) << hz;
    }
    EXPECT_EQ(ToneSettings{}, (ToneSettings{800, false}));  // the default tone
}

TEST(Pitch, EveryOfferedPitchSoundsAtItsFrequencyAndFullStrength) {
    const Timing slowest{1840, 1840};  // a dash of 5520 samples
    for (int amplitude : {kEarkeyProfile.toneAmplitude, kKeyviewProfile.toneAmplitude}) {
        for (int hz : offeredPitches()) {
            Samples dash = synth('T', slowest, Tone(amplitude, {hz, false}));
            ASSERT_EQ(dash.size(), 5520u + 3 * 1840u) << hz;
            dash.resize(5520);
            int upward = 0;
            for (std::size_t i = 1; i < dash.size(); ++i)
                upward += dash[i - 1] < 0 && dash[i] >= 0;
            EXPECT_NEAR(upward, hz * 5520.0 / kSamplesPerSecond, 1.0) << hz;
            // The samples fall at most half a step of phase from the crest.
            EXPECT_LE(peak(dash), amplitude) << hz;
            EXPECT_GE(peak(dash), amplitude * std::cos(std::numbers::pi * hz / 8000) - 0.5) << hz;
        }
    }
}

// Soft edges, element by element: 'A' is a dot, a gap of one dot and a dash, then three dots of
// silence; at the slowest and fastest speeds and at pitches whose cycle fits the edge or not.
TEST(SoftEdges, EachElementRisesAndFallsWithinItsOwnSamples) {
    for (std::int32_t dot : {dotSamples(kSlowestWpm), dotSamples(12), dotSamples(kFastestWpm)}) {
        for (int hz : {800, 450, 1000}) {
            SCOPED_TRACE(testing::Message() << "dot " << dot << ", " << hz << " Hz");
            const Timing timing{dot, dot};
            const Samples hard = synth('A', timing, Tone(5000, {hz, false}));
            const Samples soft = synth('A', timing, Tone(5000, {hz, true}));
            const auto d = static_cast<std::size_t>(dot);
            ASSERT_EQ(soft.size(), hard.size());
            ASSERT_EQ(soft.size(), 8 * d);
            EXPECT_EQ(peak(soft), peak(hard));

            struct Element {
                std::size_t begin, end;
            };
            for (Element e : {Element{0, d}, Element{2 * d, 5 * d}}) {
                EXPECT_EQ(soft[e.begin], 0);
                EXPECT_EQ(soft[e.end - 1], 0);
                // The middle is the plain tone, sample for sample.
                EXPECT_TRUE(std::equal(soft.begin() + e.begin + kEdgeSamples,
                                       soft.begin() + e.end - kEdgeSamples,
                                       hard.begin() + e.begin + kEdgeSamples));
                // The edges follow a raised cosine: a seventh of the tone's strength a quarter
                // of the way in (a straight ramp would give a quarter), half of it half way.
                for (std::size_t fromEnd = 0; fromEnd < kEdgeSamples; ++fromEnd) {
                    const double gain =
                        0.5 * (1 - std::cos(std::numbers::pi * static_cast<double>(fromEnd) /
                                            kEdgeSamples));
                    for (std::size_t i : {e.begin + fromEnd, e.end - 1 - fromEnd})
                        ASSERT_NEAR(soft[i], hard[i] * gain, 0.51) << "sample " << i;
                }
            }
            // The gaps stay silent.
            EXPECT_TRUE(std::all_of(soft.begin() + d, soft.begin() + 2 * d,
                                    [](std::int16_t v) { return v == 0; }));
            EXPECT_TRUE(std::all_of(soft.begin() + 5 * d, soft.end(),
                                    [](std::int16_t v) { return v == 0; }));
        }
    }
}

TEST(SoftEdges, AnElementCutShortByTheBufferKeepsTheShapeOfItsStart) {
    const Tone soft(5000, {650, true});
    const Samples whole = synth('!', {1840, 1840}, soft);
    Samples cut(900);
    ASSERT_EQ(synthesiseCharacter('!', table(), soft, {1840, 1840}, cut), 900u);
    EXPECT_TRUE(std::equal(cut.begin(), cut.end(), whole.begin()));
}

// What the ear hears as clicks: energy far from the tone. A dot and the silence after it, at
// 12 wpm, for the lowest, the default and the highest pitch: more than 300 Hz away from the
// tone, hard edges leave about 0.3 % of the energy, soft edges some hundreds of times less.
TEST(SoftEdges, TakeTheClicksEnergyAwayFromTheTone) {
    for (int hz : {400, 800, 1000}) {
        const double hard = shareAwayFrom(synth('E', {767, 767}, Tone(5000, {hz, false})), hz, 300);
        const double soft = shareAwayFrom(synth('E', {767, 767}, Tone(5000, {hz, true})), hz, 300);
        EXPECT_GT(hard, 1e-3) << hz;
        EXPECT_LT(soft, hard / 100) << hz << " Hz: hard " << hard << ", soft " << soft;
    }
}
