// The paddle keyer worked tick by tick: element and gap lengths, squeezes, the idle checks that
// end a character and a word, and what is never read.
#include <gtest/gtest.h>

#include "keying/hand_keying.h"
#include "keying_rig.h"
#include "tests/editions.h"

namespace keytut::testing {
namespace {

constexpr std::uint32_t kDot = 0x10;
constexpr std::uint32_t kDash = 0x20;
constexpr std::uint32_t kBoth = 0x30;

// At 12 wpm: one element on its own paddle, then silence up to the next check.
std::string element(Paddles& p, std::uint32_t paddle) {
    std::string out = p.hold(paddle, 1);
    return out + p.hold(0, (paddle == kDash ? 60 : 20) + 21 - 1);
}

TEST(PaddleKeyer, DotTicksFollowTheCharacterSpeed) {
    const std::pair<const char*, int> cases[] = {{"5", 48},  {"12", 20}, {"15", 16}, {"18", 13},
                                                 {"20", 12}, {"25", 10}, {"30", 8},  {"32", 8},
                                                 {"96", 2},  {"160", 2}, {"0", 20},  {"", 20},
                                                 {"x", 20},  {"-5", 20}, {"9999", 1}};
    for (auto [text, ticks] : cases)
        EXPECT_EQ(paddleDotTicks(text), ticks) << text;
}

TEST(PaddleKeyer, HeldDotPaddleRepeatsAndTheCharacterComesAtTheSecondIdleCheck) {
    Paddles p(Edition::Keyview, 12);
    EXPECT_EQ(p.hold(kDot, 124), "");  // four checks find the dot paddle closed
    EXPECT_EQ(p.hold(0, 61), "");
    EXPECT_EQ(p.hold(0, 1), "H");  // 42 ticks after the first silent one
    std::string dot = std::string(20, '#') + std::string(21, '.');
    EXPECT_EQ(p.tones.substr(0, 4 * dot.size()), dot + dot + dot + dot);
    EXPECT_EQ(p.reads, 6);  // the paddles are read at the checks only
}

TEST(PaddleKeyer, SqueezesAlternateFromWhereTheLastElementLeftOff) {
    {
        Paddles p(Edition::Keyview, 12);  // fresh: a dot first, then a dash
        EXPECT_EQ(p.hold(kBoth, 42), "");
        EXPECT_EQ(p.hold(0, 101), "");
        EXPECT_EQ(p.hold(0, 1), "A");
        EXPECT_EQ(p.tones.substr(0, 102),
                  std::string(20, '#') + std::string(21, '.') + std::string(60, '#') + ".");
    }
    {
        Paddles p(Edition::Keyview, 12);  // after the dot paddle: a dash
        element(p, kDot);
        p.hold(kBoth, 1);
        EXPECT_EQ(p.keyer.elementCode(), 4);
    }
    {
        Paddles p(Edition::Keyview, 12);  // after the dash paddle: a dot
        element(p, kDash);
        p.hold(kBoth, 1);
        EXPECT_EQ(p.keyer.elementCode(), 5);
        p.hold(kBoth, 42);  // and the dash after it
        EXPECT_EQ(p.keyer.elementCode(), 12);
    }
}

TEST(PaddleKeyer, OneBlankAtTheFifthIdleCheckInFrontOfTheFirstCharacter) {
    Paddles p(Edition::Keyview, 12);
    p.hold(0, 105);
    EXPECT_EQ(p.keyer.text(), "");
    p.hold(0, 1);  // checks at ticks 1, 22, 43, 64, 85 and 106
    EXPECT_EQ(p.keyer.text(), " ");
    p.hold(0, 20 + 21 * 238);        // up to just before a check
    EXPECT_EQ(p.keyer.text(), " ");  // a long pause gives one blank only
    element(p, kDot);
    EXPECT_EQ(p.hold(0, 22), "E");
    EXPECT_EQ(p.keyer.text(), " E");
}

TEST(PaddleKeyer, PaddleTappedBetweenChecksIsNotSeen) {
    Paddles p(Edition::Keyview, 12);
    p.hold(0, 1);
    p.hold(kBoth, 20);  // closed and opened again within the gap
    p.hold(0, 300);
    EXPECT_EQ(p.tones.find('#'), std::string::npos);
    EXPECT_EQ(p.keyer.text(), " ");
}

TEST(PaddleKeyer, SevenDotsAndADashAreDiscardedAndTheNextCharacterDecodes) {
    Paddles p(Edition::Keyview, 12);
    std::string out;
    for (auto paddle : {kDot, kDot, kDot, kDot, kDot, kDot, kDot, kDash})
        out += element(p, paddle);
    out += p.hold(0, 42);
    EXPECT_EQ(out, "");
    EXPECT_EQ(p.keyer.elementCode(), 0);
    element(p, kDot);
    element(p, kDash);
    EXPECT_EQ(p.hold(0, 22), "A");
    // A squeeze held on and on overflows the code; it is no character either.
    p.hold(kBoth, 100000);
    EXPECT_EQ(p.hold(0, 400), "");
    EXPECT_EQ(p.keyer.text(), "A ");
}

TEST(PaddleKeyer, ProsignsLeadWithABlankInEarkey) {
    for (Edition edition : {Edition::Earkey, Edition::Keyview}) {
        Paddles p(edition, 12);
        for (auto paddle : {kDash, kDot, kDash, kDot, kDash})
            element(p, paddle);
        EXPECT_EQ(p.hold(0, 22), edition == Edition::Earkey ? " CT" : "+");
    }
}

TEST(PaddleKeyer, PaddleScriptKeysItsText) {
    for (double jitter : {0.0, 0.2}) {
        HandKeying how;
        how.wpm = 20;
        how.jitter = jitter;
        auto script = keyPaddles("CQ CQ", shippedCodes(), how);
        Paddles p(Edition::Keyview, 20);
        std::string out;
        for (std::int64_t t = 0; t < script.endMs() + 1000; t += 5)
            out += p.hold(script.linesAt(t), 1);
        // The blanks of the idle lead-in and of the pause after the text are there too.
        EXPECT_EQ(p.keyer.text(), " CQ CQ ") << jitter;
        EXPECT_EQ(out, "CQCQ");
    }
}

}  // namespace
}  // namespace keytut::testing
