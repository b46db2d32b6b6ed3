#include <gtest/gtest.h>

#include <vector>

#include "core/code_table.h"
#include "core/synthesis.h"
#include "tests/editions.h"

using namespace keytut;

namespace {

CodeTable table() {
    CodeTable t;
    CollectingMessageSink sink;
    loadCodeTableFrom(t, "69,.\r\n65,.-\r\n72,....\r\n73,..\r\n48,-----\r\n33,-------\r\n", sink);
    return t;
}

// Runs of tone (true) and silence (false) with their lengths.
std::vector<std::pair<bool, std::size_t>> runs(const std::vector<std::int16_t>& samples) {
    std::vector<std::pair<bool, std::size_t>> result;
    std::size_t i = 0;
    while (i < samples.size()) {
        // Tone samples at entries 0 and 5 of the table are zero too: a run of silence is a run
        // of at least three zeros.
        bool tone = !(samples[i] == 0 &&
                      (i + 2 >= samples.size() || (samples[i + 1] == 0 && samples[i + 2] == 0)));
        std::size_t j = i;
        while (j < samples.size()) {
            bool t = !(samples[j] == 0 &&
                       (j + 2 >= samples.size() || (samples[j + 1] == 0 && samples[j + 2] == 0)));
            if (t != tone)
                break;
            ++j;
        }
        result.emplace_back(tone, j - i);
        i = j;
    }
    return result;
}

std::vector<std::int16_t> synth(char c, Timing timing, const Tone& sine) {
    std::vector<std::int16_t> buffer(kSampleBufferSize);
    buffer.resize(synthesiseCharacter(c, table(), sine, timing, buffer));
    return buffer;
}

}  // namespace

TEST(Timing, DotLengthsOfTheOfferedSpeeds) {
    std::vector<int> expected = {1840, 767, 613, 511, 460, 368, 307};
    for (std::size_t i = 0; i < speedChoices.size(); ++i) {
        EXPECT_EQ(dotSamples(std::atoi(speedChoices[i])), expected[i]) << speedChoices[i];
    }
}

TEST(Timing, SineTablesOfBothEditions) {
    auto cycle = [](const Tone& tone) {
        return std::vector<std::int16_t>(tone.cycle().begin(), tone.cycle().end());
    };
    EXPECT_EQ(cycle(Tone(5000)), (std::vector<std::int16_t>{0, 2939, 4755, 4755, 2939, 0, -2939,
                                                            -4755, -4755, -2939}));
    EXPECT_EQ(
        cycle(Tone(profileOf(Edition::Keyview).toneAmplitude)),
        (std::vector<std::int16_t>{0, 1763, 2853, 2853, 1763, 0, -1763, -2853, -2853, -1763}));
}

TEST(Synthesis, ShapesAndLengthsOfCharacters) {
    const Tone sine(5000);
    auto e = synth('E', {767, 767}, sine);
    ASSERT_EQ(e.size(), 767u + 2301u);
    EXPECT_EQ(e[0], sine.at(1));
    EXPECT_EQ(e[766], sine.at(7));  // the last tone sample is table entry 767 mod 10
    EXPECT_EQ(runs(e).back(), std::make_pair(false, std::size_t{2301}));

    auto a = synth('A', {dotSamples(20), dotSamples(12)}, sine);
    EXPECT_EQ(a.size(), 4601u);
    EXPECT_EQ(a[460 + 460], sine.at(1));  // the dash starts afresh at entry 1
    EXPECT_EQ(std::count(a.begin() + 460, a.begin() + 920, 0), 460);

    EXPECT_EQ(synth('Z', {767, 767}, sine).size(), 0u);  // not in the table
    auto blank = synth(' ', {767, 1840}, sine);
    EXPECT_EQ(blank.size(), 7360u);
    EXPECT_EQ(std::count(blank.begin(), blank.end(), 0), 7360);
    EXPECT_EQ(synth('\r', {767, 1840}, sine).size(), 7360u);
    EXPECT_EQ(synth('\n', {767, 767}, sine).size(), 0u);
    EXPECT_EQ(synth('0', {1840, 1840}, sine).size(), 40480u);
}

TEST(Synthesis, SevenDashesAtTheSlowestSpeedFitTheBuffer) {
    const Tone sine(5000);
    auto dashes = synth('!', {1840, 1840}, sine);
    EXPECT_EQ(dashes.size(), 55200u);
    EXPECT_EQ(dashes.size(), kSampleBufferSize);
    // A smaller buffer is filled to its end and no further.
    std::vector<std::int16_t> small(1000, 77);
    std::span<std::int16_t> first(small.data(), 900);
    EXPECT_EQ(synthesiseCharacter('!', table(), sine, {1840, 1840}, first), 900u);
    EXPECT_EQ(small[900], 77);
}

TEST(SpeedSettings, WordSpeedNeverFasterThanCharacterSpeed) {
    Timing timing;
    SpeedSettings speeds;
    speeds.chooseWordSpeed(4, timing);  // 20 while characters are at 12
    EXPECT_EQ(speeds.charIndex, 4);
    EXPECT_EQ(timing.charDotSamples, 460);
    EXPECT_EQ(timing.wordDotSamples, 460);

    timing = {};
    speeds = {};
    speeds.chooseCharacterSpeed(0, timing);  // 5 while words are at 12
    EXPECT_EQ(speeds.wordIndex, 0);
    EXPECT_EQ(timing.charDotSamples, 1840);
    EXPECT_EQ(timing.wordDotSamples, 1840);

    timing = {};
    speeds = {};
    speeds.chooseCharacterSpeed(5, timing);  // 25: words stay at 12
    EXPECT_EQ(speeds.wordIndex, 1);
    EXPECT_EQ(timing.charDotSamples, 368);
    EXPECT_EQ(timing.wordDotSamples, 767);
    speeds.chooseWordSpeed(6, timing);  // 30 pulls the characters up to 30
    EXPECT_EQ(speeds.charIndex, 6);
    EXPECT_EQ(timing.charDotSamples, 307);
    EXPECT_EQ(timing.wordDotSamples, 307);
}
