// The straight-key decoder worked tick by tick: classification at the thresholds, the codes that
// are discarded, the flush after a long pause, and the timing report.
#include <gtest/gtest.h>

#include "keying/hand_keying.h"
#include "keying_rig.h"
#include "tests/editions.h"

namespace keytut::testing {
namespace {

std::string shown(const std::vector<KeyedCharacter>& out) {
    std::string s;
    for (const auto& c : out)
        s += "[" + c.character + "|" + c.separator + "]";
    return s;
}

class StraightKeyEdition : public ::testing::TestWithParam<Edition> {};

TEST_P(StraightKeyEdition, FirstKeyDownOnlyArmsAndTwelveWpmKeepsItsThresholds) {
    StraightKeyer k(GetParam());
    EXPECT_TRUE(k.mark(20).empty());  // arms; nothing classified or output
    k.space(20);                      // the dot is classified when the key comes up
    EXPECT_EQ(k.decoder.elementCode(), 1);
    EXPECT_EQ(k.decoder.markThreshold(), 36);
    EXPECT_EQ(k.decoder.wordThreshold(), 100);
    k.mark(60);
    k.space(40);
    EXPECT_EQ(k.decoder.elementCode(), 4);  // dot then dash
    EXPECT_EQ(k.decoder.markThreshold(), 36);
    EXPECT_EQ(k.decoder.wordThreshold(), 102);
    EXPECT_EQ(shown(k.mark(1)), "[A|]");
    EXPECT_EQ(k.decoder.decodedText(), "A");
}

TEST_P(StraightKeyEdition, MarkAndSpacesExactlyAtTheThresholds) {
    StraightKeyer k(GetParam());
    k.mark(20);
    k.space(20);
    k.mark(36);  // exactly markThreshold: a dot
    k.space(1);
    EXPECT_EQ(k.decoder.elementCode(), 3);
    EXPECT_EQ(k.decoder.dotAverage(), 25);
    EXPECT_EQ(k.decoder.markThreshold(), 45);
    EXPECT_EQ(k.decoder.wordThreshold(), 125);
    k.space(44);  // a space of exactly markThreshold ends the character, without a blank
    EXPECT_EQ(shown(k.mark(25)), "[I|]");

    for (int gap : {99, 100}) {  // wordThreshold is 100 after a dot of 20
        StraightKeyer w(GetParam());
        w.mark(20);
        w.space(20);
        w.mark(20);
        w.space(gap);
        EXPECT_EQ(shown(w.mark(1)), gap == 100 ? "[I| ]" : "[I|]") << gap;
    }
}

TEST_P(StraightKeyEdition, EightDotsAreLookedUpSevenDotsAndADashAreDiscarded) {
    StraightKeyer k(GetParam());
    auto key = [&](const std::vector<int>& elements) {
        std::vector<KeyedCharacter> out;
        for (std::size_t i = 0; i < elements.size(); ++i) {
            auto o = k.mark(elements[i] * 20);
            out.insert(out.end(), o.begin(), o.end());
            k.space(i + 1 < elements.size() ? 20 : 60);
        }
        return out;
    };
    key({1, 1, 1, 1, 1, 1, 1, 1});
    EXPECT_EQ(shown(key({1, 1, 1, 1, 1, 1, 1, 3})), "[_|]");  // code 255: not in the table
    EXPECT_EQ(shown(key({1, 3})), "[|]");                     // code 256: nothing but the gap
    EXPECT_EQ(shown(k.mark(20)), "[A|]");                     // the next one decodes
    EXPECT_EQ(k.decoder.decodedText(), "_A");
}

TEST_P(StraightKeyEdition, PendingCharacterIsFlushedAfterTwiceTheWordThreshold) {
    StraightKeyer k(GetParam());
    k.mark(20);
    EXPECT_TRUE(k.space(200).empty());     // wordThreshold 100: not yet at 2 x 100
    EXPECT_EQ(shown(k.space(1)), "[E|]");  // the 201st tick: flushed, no blank
    EXPECT_TRUE(k.space(1000).empty());    // nothing pending: nothing more
    EXPECT_EQ(shown(k.mark(20)), "[| ]");  // the space since the flush was a word gap
    EXPECT_EQ(k.decoder.decodedText(), "E ");
}

// At rest only once nothing is pending and a word gap has passed since; a rest counted in one
// go is a space as long, so the keying after it decodes and is timed as after a space ticked
// through.
TEST_P(StraightKeyEdition, ARestCountedInOneGoIsASpaceAsLong) {
    StraightKeyer stepped(GetParam()), rested(GetParam());
    for (StraightKeyer* k : {&stepped, &rested}) {
        k->mark(20);                         // arms
        EXPECT_FALSE(k->decoder.resting());  // the key is down
        k->space(200);
        EXPECT_FALSE(k->decoder.resting());  // E still pending
        k->space(1);
        EXPECT_FALSE(k->decoder.resting());  // flushed, but no word gap since
        k->space(k->decoder.wordThreshold() - 1);
        EXPECT_FALSE(k->decoder.resting());
        k->space(1);
        EXPECT_TRUE(k->decoder.resting());
    }
    stepped.space(1234);
    rested.decoder.rest(1234);
    EXPECT_EQ(rested.decoder.spaceTicks(), stepped.decoder.spaceTicks());
    for (StraightKeyer* k : {&stepped, &rested}) {
        k->character({3, 1}, 20, 60);  // N
        k->character({1}, 20, 60);     // E
    }
    EXPECT_EQ(rested.decoder.decodedText(), "E NE");
    EXPECT_EQ(rested.decoder.decodedText(), stepped.decoder.decodedText());
    EXPECT_EQ(rested.decoder.timingReport(), stepped.decoder.timingReport());
    EXPECT_EQ(rested.decoder.timedElements().size(), stepped.decoder.timedElements().size());
    // Days of rest do not overflow the space.
    rested.space(300);
    rested.decoder.rest(std::int64_t{1} << 40);
    EXPECT_GT(rested.decoder.spaceTicks(), 0);
    EXPECT_TRUE(rested.decoder.resting());
}

TEST_P(StraightKeyEdition, OnlyCtsKeysTheStraightKey) {
    StraightKeyer k(GetParam());
    for (std::uint32_t line : {0x20u, 0x40u, 0x80u, 0xE0u}) {
        k.hold(line, 30);
        k.space(30);
    }
    EXPECT_EQ(k.decoder.elementCode(), 0);
    EXPECT_EQ(k.decoder.markTicks(), 0);
    EXPECT_EQ(k.decoder.spaceTicks(), 240);
}

TEST_P(StraightKeyEdition, HandKeyedTextDecodes) {
    for (int wpm : {12, 15, 18}) {
        HandKeying how;
        how.wpm = wpm;
        how.jitter = 0.05;
        how.seed = 11;
        auto script = keyStraight("PARIS PARIS", shippedCodes(), how);
        StraightKeyer k(GetParam());
        for (std::int64_t t = 0; t < script.endMs() + 2000; t += 5)
            k.hold(script.linesAt(t), 1);
        EXPECT_EQ(k.decoder.decodedText(), "PARIS PARIS") << wpm;
    }
}

TEST_P(StraightKeyEdition, ReportBeforeAnyKeyingAndStartingAgain) {
    const std::string wpm = GetParam() == Edition::Keyview ? " WPM" : "";
    StraightKeyer k(GetParam());
    EXPECT_EQ(k.decoder.timingReport(),
              "Dot to dash ratio: 1:3.0\r\nWord speed: 0" + wpm + "\r\nCharacter speed: 12" + wpm);
    k.mark(20);
    k.space(20);
    k.mark(75);  // a dash of 75: dashAverage 65
    k.space(1);
    EXPECT_EQ(k.decoder.dashAverage(), 65);
    k.decoder.startNewMeasurement();
    EXPECT_EQ(k.decoder.decodedText(), "");
    EXPECT_EQ(k.decoder.unitCount(), 0);
    EXPECT_EQ(k.decoder.dashAverage(), 65);  // the averages are kept
    EXPECT_EQ(k.decoder.elementCode(), 4);
    EXPECT_TRUE(k.mark(20).empty());  // armed again: the first key-down outputs nothing
}

INSTANTIATE_TEST_SUITE_P(BothEditions, StraightKeyEdition, kBothEditions, editionName);

TEST(StraightKey, ThresholdFactorsAreSinglePrecision) {
    // 1.7 x 65 is 110.5, which would round to 110; the single-precision 1.7 lies a hair above.
    StraightKeyer k(Edition::Earkey);
    k.mark(20);
    k.space(20);
    k.mark(75);
    k.space(1);
    EXPECT_EQ(k.decoder.dashAverage(), 65);
    EXPECT_EQ(k.decoder.wordThreshold(), 111);
    EXPECT_EQ(k.decoder.markThreshold(), 39);
}

TEST(StraightKey, ProsignsAreSpelledOutInEarkeyOnly) {
    // "+" is -.-.- and "=" is -...- in the shipped table.
    for (Edition edition : {Edition::Earkey, Edition::Keyview}) {
        StraightKeyer k(edition);
        for (const auto& elements : {std::vector<int>{3, 1, 3, 1, 3}, {3, 1, 1, 1, 3}}) {
            for (std::size_t i = 0; i < elements.size(); ++i) {
                k.mark(elements[i] * 20);
                k.space(i + 1 < elements.size() ? 20 : 60);
            }
        }
        k.space(300);
        EXPECT_EQ(k.decoder.decodedText(), edition == Edition::Earkey ? "CTBT\r\n" : "+=");
    }
}

TEST(StraightKey, ReportTexts) {
    EXPECT_EQ(timingReportText(profileOf(Edition::Earkey).speedUnit, 20, 60, 150, 15),
              "Dot to dash ratio: 1:3.0\r\nWord speed: 12\r\nCharacter speed: 12");
    EXPECT_EQ(timingReportText(profileOf(Edition::Keyview).speedUnit, 20, 60, 150, 15),
              "Dot to dash ratio: 1:3.0\r\nWord speed: 12 WPM\r\nCharacter speed: 12 WPM");
    auto ratioLine = [](int dot, int dash) {
        auto text = timingReportText(profileOf(Edition::Earkey).speedUnit, dot, dash, 0, 0);
        return text.substr(0, text.find('\r'));
    };
    EXPECT_EQ(ratioLine(19, 64), "Dot to dash ratio: 1:3.4");
    EXPECT_EQ(ratioLine(20, 10), "Dot to dash ratio: 1:0.5");
    EXPECT_EQ(ratioLine(20, 250), "Dot to dash ratio: 1:12.5");
    EXPECT_EQ(ratioLine(4, 9), "Dot to dash ratio: 1:2.2");  // 2.25: the even tenth
    EXPECT_EQ(ratioLine(0, 60), "Dot to dash ratio: 1:0.0");
    // Words and speeds round halves to even; a negative speed has its sign and no blank.
    EXPECT_EQ(timingReportText(profileOf(Edition::Earkey).speedUnit, 20, 60, 125, 60),
              "Dot to dash ratio: 1:3.0\r\nWord speed: 2\r\nCharacter speed: 12");
    EXPECT_EQ(timingReportText(profileOf(Edition::Earkey).speedUnit, 20, 60, 150, 24),
              "Dot to dash ratio: 1:3.0\r\nWord speed: 8\r\nCharacter speed: 12");
    EXPECT_EQ(timingReportText(profileOf(Edition::Keyview).speedUnit, 20, 60, 150, -15),
              "Dot to dash ratio: 1:3.0\r\nWord speed:-12 WPM\r\nCharacter speed: 12 WPM");
    EXPECT_EQ(timingReportText(profileOf(Edition::Earkey).speedUnit, 0, 0, 150, 15),
              "Dot to dash ratio: 1:0.0\r\nWord speed: 12\r\nCharacter speed: 0");
}

// Keys PARIS PARIS at 12 wpm from `startMs` and returns the report.
std::string parisReport(StraightKeyer& k) {
    HandKeying how;
    how.wpm = 12;
    auto script = keyStraight("PARIS PARIS PARIS", shippedCodes(), how);
    for (std::int64_t t = 0; t < script.endMs() + 2000; t += 5)
        k.hold(script.linesAt(t), 1);
    EXPECT_EQ(k.decoder.decodedText(), "PARIS PARIS PARIS");
    return k.decoder.timingReport();
}

TEST(StraightKey, WordSpeedAcrossMidnight) {
    // 143 units in about 15 s: 3 words, 12 wpm. The clock is monotonic; the same keying begun
    // ten seconds before midnight must not give a negative speed.
    StraightKeyer early(Edition::Earkey, 40'000'000);
    StraightKeyer midnight(Edition::Earkey, 86'390'000);
    auto expected = "Dot to dash ratio: 1:3.0\r\nWord speed: 12\r\nCharacter speed: 12";
    EXPECT_EQ(parisReport(early), expected);
    EXPECT_EQ(parisReport(midnight), expected);
}

TEST(StraightKey, AVisitTimesOnlyItsOwnKeying) {
    StraightKeyer k(Edition::Earkey);
    k.mark(20);
    k.space(20);
    k.mark(90);  // a slow dash, then the screen is left
    k.space(300);
    k.decoder.beginVisit();
    EXPECT_EQ(k.decoder.dashAverage(), 60);
    EXPECT_EQ(k.decoder.wordThreshold(), 102);
    EXPECT_EQ(k.decoder.decodedText(), "");
    // Units of the first visit would count against the second visit's time.
    EXPECT_EQ(k.decoder.unitCount(), 0);
    k.space(2000);  // the learner waits on the new screen
    EXPECT_EQ(parisReport(k), "Dot to dash ratio: 1:3.0\r\nWord speed: 12\r\nCharacter speed: 12");
}

}  // namespace
}  // namespace keytut::testing
