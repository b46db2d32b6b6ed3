#include <gtest/gtest.h>

#include <vector>

#include "exercises/key_poller.h"
#include "tests/editions.h"

using namespace keytut;

namespace {

// One tick of the poller over the tracked key states.
std::optional<char> tick(AsyncKeyStates& keys, std::string_view candidates = kPolledKeys) {
    return pollKeys(candidates, [&](char c) { return keys.query(c); });
}

}  // namespace

TEST(KeyPoller, HeldKeyIsReportedOnce) {
    AsyncKeyStates keys;
    EXPECT_FALSE(tick(keys));
    keys.keyDown('E');
    EXPECT_EQ(tick(keys), 'E');
    keys.keyDown('E');  // auto-repeat while held
    EXPECT_FALSE(tick(keys));
    EXPECT_FALSE(tick(keys));
    keys.keyUp('E');
    EXPECT_FALSE(tick(keys));
    keys.keyDown('e');  // pressed again, with or without Shift
    EXPECT_EQ(tick(keys), 'E');
    // Pressed and released between two ticks: down no longer, so not reported.
    keys.keyUp('E');
    keys.keyDown('T');
    keys.keyUp('T');
    EXPECT_FALSE(tick(keys));
}

TEST(KeyPoller, OneKeyPerTickInCandidateOrder) {
    AsyncKeyStates keys;
    keys.keyDown('M');
    keys.keyDown('7');
    keys.keyDown('B');
    EXPECT_EQ(tick(keys), 'B');  // letters before digits, alphabetical
    EXPECT_EQ(tick(keys), 'M');  // still held: reported on the next tick
    keys.keyUp('7');             // released before its tick: never reported
    EXPECT_FALSE(tick(keys));

    keys.clear();
    keys.keyDown('Q');
    EXPECT_FALSE(tick(keys, "ETIM"));  // not a candidate
}

TEST(KeyPoller, ExactStateRuleAndScanStopsAtTheHit) {
    // Scripted states, as a platform's key-state call returns them (a 16-bit value that may
    // come sign-extended).
    std::vector<char> asked;
    auto states = [&](char c) {
        asked.push_back(c);
        switch (c) {
            case 'A':
                return 0x8000;  // held, not new
            case 'B':
                return 0x0001;  // pressed and released again
            case 'C':
                return -32767;  // 0x8001 as a signed 16-bit value
            default:
                return 0x8001;
        }
    };
    EXPECT_EQ(pollKeys("ABCD", states), 'C');
    EXPECT_EQ(asked, (std::vector<char>{'A', 'B', 'C'}));
    EXPECT_FALSE(pollKeys("AB", states));
    EXPECT_FALSE(pollKeys("", states));
}

TEST(KeyPoller, CandidatesByEditionAndStage) {
    EXPECT_EQ(pollCandidates(profileOf(Edition::Earkey).hearingPollsGroupKeys, 0, "ETIM"), "");
    EXPECT_EQ(pollCandidates(profileOf(Edition::Earkey).hearingPollsGroupKeys, 1, "ETIM"),
              std::string(kPolledKeys));
    EXPECT_EQ(pollCandidates(profileOf(Edition::Earkey).hearingPollsGroupKeys, 2, "ETIM"), "");
    EXPECT_EQ(pollCandidates(profileOf(Edition::Keyview).hearingPollsGroupKeys, 0, "ETIM"), "ETIM");
    EXPECT_EQ(pollCandidates(profileOf(Edition::Keyview).hearingPollsGroupKeys, 0, "1234567890"),
              "1234567890");
    EXPECT_EQ(pollCandidates(profileOf(Edition::Keyview).hearingPollsGroupKeys, 0, "Ab-C"),
              "AC");  // only keys that exist
    EXPECT_EQ(pollCandidates(profileOf(Edition::Keyview).hearingPollsGroupKeys, 1, "ETIM"),
              std::string(kPolledKeys));
    EXPECT_EQ(pollCandidates(profileOf(Edition::Keyview).hearingPollsGroupKeys, 2, "ETIM"), "");
}
