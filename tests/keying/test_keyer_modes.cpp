// The keyer's modes worked tick by tick at 12 wpm (a dot of 20 ticks, checks 21 ticks after an
// element): the same hands on the paddles give each mode's elements, and the cases that tell
// the modes apart.
#include <gtest/gtest.h>

#include <map>

#include "keying/hand_keying.h"
#include "keying_rig.h"

namespace keytut::testing {
namespace {

constexpr std::uint32_t kDot = 0x10;
constexpr std::uint32_t kDash = 0x20;
constexpr std::uint32_t kBoth = 0x30;

struct Hold {
    std::uint32_t paddles;
    int ticks;
};

// The elements each mode sounds for the same hands, from a fresh screen.
std::map<KeyerMode, std::string> elementsByMode(const std::vector<Hold>& hands) {
    std::map<KeyerMode, std::string> out;
    for (KeyerMode mode : keyerModes()) {
        Paddles p(Edition::Keyview, 12, mode);
        for (const auto& h : hands)
            p.hold(h.paddles, h.ticks);
        p.hold(0, 400);
        out[mode] = p.elements();
    }
    return out;
}

TEST(KeyerModes, OneSqueezeLetGoDuringTheThirdElement) {
    // The dot paddle; the dash paddle closed too in the middle of the first dot; both let go 8
    // ticks into the third element (which starts at tick 122).
    auto got = elementsByMode({{kDot, 10}, {kBoth, 120}});
    EXPECT_EQ(got[KeyerMode::Plain], ".-.");
    EXPECT_EQ(got[KeyerMode::IambicA], ".-.");    // the dot that sounds is the last
    EXPECT_EQ(got[KeyerMode::IambicB], ".-.-");   // one dash more, and only one
    EXPECT_EQ(got[KeyerMode::Ultimatic], ".--");  // the dash paddle, closed last, wins
}

TEST(KeyerModes, SqueezeLetGoWithinTheFirstDot) {
    // Both paddles for a few ticks of the first dot, then neither.
    auto got = elementsByMode({{kDot, 5}, {kBoth, 5}, {kDot, 5}});
    EXPECT_EQ(got[KeyerMode::Plain], ".");
    EXPECT_EQ(got[KeyerMode::IambicA], ".");
    EXPECT_EQ(got[KeyerMode::IambicB], ".-");
    EXPECT_EQ(got[KeyerMode::Ultimatic], ".-");
}

TEST(KeyerModes, PaddleMemoryKeepsATapBetweenChecks) {
    // The dot paddle let go, then the dash paddle tapped while the dot still sounds: no squeeze.
    auto got = elementsByMode({{kDot, 5}, {0, 3}, {kDash, 4}});
    EXPECT_EQ(got[KeyerMode::Plain], ".");  // never read at a check
    EXPECT_EQ(got[KeyerMode::IambicA], ".-");
    EXPECT_EQ(got[KeyerMode::IambicB], ".-");
    EXPECT_EQ(got[KeyerMode::Ultimatic], ".-");
    // A tap in the gap after a dash is remembered as well.
    got = elementsByMode({{kDash, 70}, {kDot, 5}});
    EXPECT_EQ(got[KeyerMode::Plain], "-");
    EXPECT_EQ(got[KeyerMode::IambicA], "-.");
    EXPECT_EQ(got[KeyerMode::Ultimatic], "-.");
}

TEST(KeyerModes, SqueezeFromRestStartsWithThePaddleClosedFirst) {
    // A check finds nothing at tick 0; the dash paddle closes, then the dot paddle, both before
    // the check at tick 21; both are let go at tick 110, in the second element.
    auto got = elementsByMode({{0, 1}, {kDash, 5}, {kBoth, 105}});
    EXPECT_EQ(got[KeyerMode::Plain], ".-");  // the plain keyer starts a visit with a dot
    EXPECT_EQ(got[KeyerMode::IambicA], "-.");
    EXPECT_EQ(got[KeyerMode::IambicB], "-.-");
    EXPECT_EQ(got[KeyerMode::Ultimatic], "...");  // the dot paddle is the one closed last
    // Closed in the same tick, the dot comes first in every mode.
    got = elementsByMode({{kBoth, 10}});
    for (auto& [mode, elements] : got)
        EXPECT_EQ(elements.substr(0, 1), ".") << keyerModeName(mode);
}

TEST(KeyerModes, UltimaticHandsBackToThePaddleStillHeld) {
    // Dot, then the dash paddle too: dashes; the dash paddle let go: dots again.
    Paddles p(Edition::Keyview, 12, KeyerMode::Ultimatic);
    p.hold(kDot, 10);
    p.hold(kBoth, 190);  // dash at 41 and at 122
    p.hold(kDot, 60);    // checks at 203 and 244 find the dot paddle alone
    p.hold(0, 400);
    EXPECT_EQ(p.elements(), ".--..");
}

TEST(KeyerModes, ElementsAndGapsKeepTheirLengthInEveryMode) {
    for (KeyerMode mode : keyerModes()) {
        Paddles p(Edition::Keyview, 12, mode);
        p.hold(kDot, 10);
        p.hold(kBoth, 90);
        p.hold(0, 30);
        const std::string dot(20, '#'), dash(60, '#'), gap(21, '.');
        EXPECT_EQ(p.tones.substr(0, 20 + 21 + 60 + 21), dot + gap + dash + gap)
            << keyerModeName(mode);
    }
}

TEST(KeyerModes, PaddleScriptKeysCqInEveryMode) {
    for (KeyerMode mode : keyerModes()) {
        HandKeying how;
        how.wpm = 20;
        how.jitter = 0.2;
        auto script = keyPaddles("CQ CQ", shippedCodes(), how);
        Paddles p(Edition::Earkey, 20, mode);
        for (std::int64_t t = 0; t < script.endMs() + 1000; t += 5)
            p.hold(script.linesAt(t), 1);
        EXPECT_EQ(p.keyer.text(), " CQ CQ ") << keyerModeName(mode);
    }
}

// A keyer at rest may be told of many ticks at once (the screen paused its voice): whatever
// was keyed before and however long the rest, it then keys a squeeze exactly as a keyer that
// stepped through every tick of the rest with the paddles open, in every mode.
TEST(KeyerModes, ARestCountedInOneGoKeysOnAsEveryTickWould) {
    for (KeyerMode mode : keyerModes()) {
        for (std::int64_t rest : {1, 20, 21, 22, 400, 4321}) {
            Paddles stepped(Edition::Keyview, 12, mode), rested(Edition::Keyview, 12, mode);
            for (Paddles* p : {&stepped, &rested}) {
                p->hold(kBoth, 50);  // a squeeze, then long enough open to be at rest
                p->hold(0, 200);
                ASSERT_TRUE(p->keyer.resting()) << keyerModeName(mode);
            }
            stepped.hold(0, static_cast<int>(rest));
            rested.keyer.rest(rest);
            for (Paddles* p : {&stepped, &rested}) {
                p->tones.clear();
                p->hold(kDash, 7);
                p->hold(kBoth, 70);
                p->hold(0, 300);
            }
            EXPECT_EQ(rested.tones, stepped.tones) << keyerModeName(mode) << ", rest " << rest;
            EXPECT_EQ(rested.keyer.text(), stepped.keyer.text()) << keyerModeName(mode);
        }
    }
    // Not at rest while an element sounds, a character is pending or the blank is unwritten.
    Paddles p(Edition::Keyview, 12);
    p.hold(kDot, 5);
    EXPECT_FALSE(p.keyer.resting());
    p.hold(0, 60);
    EXPECT_FALSE(p.keyer.resting());
}

TEST(KeyerModes, NamesRoundTripAndUnknownNamesAreRefused) {
    for (KeyerMode mode : keyerModes())
        EXPECT_EQ(keyerModeFromName(keyerModeName(mode)), mode);
    EXPECT_EQ(keyerModeName(KeyerMode::IambicB), "iambic-b");
    EXPECT_EQ(keyerModeTitle(KeyerMode::IambicB), "Iambic B");
    EXPECT_FALSE(keyerModeFromName("Iambic B"));
    EXPECT_FALSE(keyerModeFromName(""));
}

}  // namespace
}  // namespace keytut::testing
