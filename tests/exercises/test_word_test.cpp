#include <gtest/gtest.h>

#include <map>
#include <set>

#include "exercise_rig.h"
#include "exercises/message.h"
#include "exercises/word_test.h"

using namespace keytut;
using keytut::testing::ExerciseRig;
using keytut::testing::Posted;

namespace {

// What thirty copies of `word` sound like, as the rig recognises them: the word, the CR as a
// word space and the LF as an empty buffer, each time.
std::string heardList(const std::vector<std::string>& words) {
    std::string heard;
    for (const auto& w : words)
        heard += w + " _";
    return heard;
}

int sendDones(ExerciseRig& rig) {
    int n = 0;
    for (const auto& p : rig.takePosted())
        n += p.kind == Posted::TextEnd;
    return n;
}

class WordTestFlow : public ::testing::TestWithParam<Edition> {
  protected:
    bool earkey() const { return GetParam() == Edition::Earkey; }
};

TEST_P(WordTestFlow, AOneWordListIsSentThirtyTimesAndShownOrReadBack) {
    ExerciseRig rig(GetParam());
    const std::string word = earkey() ? "TEA" : "TEA ";  // Keyview's words end in a blank
    rig.tutor.data.wordList = {word};
    ThirtyWordTest test(rig.tutor, rig.whenSent());

    auto update = test.start();
    EXPECT_TRUE(update.started);
    EXPECT_EQ(update.box, "");
    std::string text;
    for (int i = 0; i < kTestWords; ++i)
        text += word + "\r\n";
    EXPECT_EQ(rig.tutor.sender.text(), text);
    rig.wave->runUntilIdle();
    EXPECT_EQ(rig.heard(), heardList(std::vector<std::string>(30, word)));
    ASSERT_EQ(sendDones(rig), 1);

    update = test.sendDone();
    ASSERT_TRUE(update.acted);
    if (earkey()) {
        EXPECT_EQ(update.box, "");  // before the first word
        EXPECT_FALSE(update.speak);
        for (int i = 1; i <= 30; ++i)
            EXPECT_EQ(test.review()[i], word);
    } else {
        EXPECT_EQ(update.box, text);  // thirty lines, each ending in the word's blank
    }
    // A second end (of nothing this screen sent) changes nothing.
    EXPECT_FALSE(test.sendDone().acted);
}

TEST_P(WordTestFlow, AnEmptyWordListSaysSoAndSendsNothing) {
    ExerciseRig rig(GetParam());
    rig.tutor.data.wordList.clear();
    ThirtyWordTest test(rig.tutor, rig.whenSent());
    auto update = test.start();
    EXPECT_TRUE(update.acted);
    EXPECT_FALSE(update.started);
    EXPECT_EQ(update.box, std::string(kNoWordsMessage));
    EXPECT_EQ(update.speak, earkey());
    EXPECT_EQ(rig.writes(), 0u);
    EXPECT_FALSE(test.down().acted);
    EXPECT_FALSE(test.sendDone().acted);
}

TEST_P(WordTestFlow, StartDuringSendingReplacesTheListAndOnlyTheSecondIsShown) {
    ExerciseRig rig(GetParam(), 3);
    ThirtyWordTest test(rig.tutor, rig.whenSent());
    test.start();
    const std::string first = rig.tutor.sender.text();
    rig.wave->runUntilIdle(4);
    // The end of the first list never comes: the second replaces it.
    EXPECT_FALSE(test.sendDone().acted);
    test.start();
    const std::string second = rig.tutor.sender.text();
    ASSERT_NE(first, second);
    rig.wave->runUntilIdle();
    EXPECT_EQ(sendDones(rig), 1);
    auto update = test.sendDone();
    ASSERT_TRUE(update.acted);
    if (!earkey())
        EXPECT_EQ(update.box, second);
    else
        EXPECT_EQ(test.down().box, second.substr(0, second.find('\r')));
}

TEST_P(WordTestFlow, ExitStopsAfterTheCurrentCharacter) {
    ExerciseRig rig(GetParam());
    ThirtyWordTest test(rig.tutor, rig.whenSent());
    test.start();
    rig.wave->runUntilIdle(3);
    const std::size_t written = rig.writes();
    test.close();
    rig.wave->runUntilIdle();
    EXPECT_EQ(rig.writes(), written);  // the playing character ended; nothing followed
    // The end of the stopped list goes to the screen that has closed; a new screen opened
    // afterwards starts a fresh list.
    ThirtyWordTest again(rig.tutor, rig.whenSent());
    EXPECT_FALSE(again.sendDone().acted);
    EXPECT_TRUE(again.start().started);
    EXPECT_EQ(rig.tutor.sender.position(), 1u);
}

INSTANTIATE_TEST_SUITE_P(BothEditions, WordTestFlow, kBothEditions, editionName);

TEST(EarkeyWordTest, ThirtyDownsReachWordThirtyAndOneMoreStaysThere) {
    ExerciseRig rig(Edition::Earkey, 5);
    ThirtyWordTest test(rig.tutor, rig.whenSent());
    EXPECT_FALSE(test.down().acted);  // nothing sent yet
    test.start();
    const WordTestDraw expected = [&] {
        WordTestDraw d;
        const std::string& text = rig.tutor.sender.text();
        for (std::size_t at = 0; at < text.size();) {
            auto end = text.find("\r\n", at);
            d.words.push_back(text.substr(at, end - at));
            at = end + 2;
        }
        return d;
    }();
    ASSERT_EQ(expected.words.size(), 30u);

    // Up and Down already read the list being sent.
    rig.wave->runUntilIdle(6);
    auto update = test.down();
    EXPECT_EQ(update.box, expected.words[0]);
    EXPECT_TRUE(update.speak);
    EXPECT_EQ(test.down().box, expected.words[1]);
    EXPECT_EQ(test.up().box, expected.words[0]);
    EXPECT_FALSE(test.up().acted);  // word 1 is the top

    rig.wave->runUntilIdle();
    EXPECT_EQ(test.sendDone().box, "");
    EXPECT_EQ(test.review().index(), 0);
    for (int i = 0; i < 30; ++i) {
        update = test.down();
        ASSERT_TRUE(update.acted) << i;
        EXPECT_EQ(update.box, expected.words[static_cast<std::size_t>(i)]);
        EXPECT_TRUE(update.speak);
    }
    EXPECT_FALSE(test.down().acted);
    EXPECT_EQ(test.review().index(), 30);
    EXPECT_EQ(test.up().box, expected.words[28]);
}

TEST(KeyviewWordTest, HasNoCursorReview) {
    ExerciseRig rig(Edition::Keyview);
    ThirtyWordTest test(rig.tutor, rig.whenSent());
    test.start();
    rig.wave->runUntilIdle();
    test.sendDone();
    EXPECT_FALSE(test.down().acted);
    EXPECT_FALSE(test.up().acted);
}

TEST(WordTestDraws, EveryWordOfTheListIsDrawnEvenlyAndRepeatsAreAllowed) {
    Random random(9);
    const std::vector<std::string> words{"A", "B", "C", "D"};
    std::map<std::string, int> counts;
    bool repeated = false;
    for (int t = 0; t < 2000; ++t) {
        auto draw = drawWordTest(random, words);
        ASSERT_EQ(draw.words.size(), 30u);
        std::set<std::string> distinct(draw.words.begin(), draw.words.end());
        repeated = repeated || distinct.size() < 30;
        for (const auto& w : draw.words)
            ++counts[w];
    }
    EXPECT_TRUE(repeated);
    for (const auto& w : words)
        EXPECT_NEAR(counts[w], 15000, 600) << w;
}

class MessageFlow : public ::testing::TestWithParam<Edition> {};

TEST_P(MessageFlow, SentTwiceAndANewReturnReplacesWhatIsSounding) {
    ExerciseRig rig(GetParam());
    MessageSending message(rig.tutor);
    EXPECT_EQ(message.send("CQ DE"), "CQ DE");
    rig.wave->runUntilIdle();
    message.send("CQ DE");
    rig.wave->runUntilIdle();
    EXPECT_EQ(rig.heard(), "CQ DECQ DE");

    const std::size_t before = rig.writes();
    message.send("HHHH");
    rig.wave->advance(100);  // the first H is playing
    message.send("TE");
    rig.wave->runUntilIdle();
    EXPECT_EQ(rig.heard(before), "HTE");
    EXPECT_EQ(rig.wave->resets(), 1);

    // Escape: the playing character ends, nothing follows.
    const std::size_t atClose = rig.writes();
    message.send("PARIS");
    message.close();
    rig.wave->runUntilIdle();
    EXPECT_EQ(rig.heard(atClose), "P");
}

TEST_P(MessageFlow, SmallLettersSoundAsCapitalsAndAnEmptyMessageSoundsNothing) {
    ExerciseRig rig(GetParam());
    MessageSending message(rig.tutor);
    // The shipped table has small letters of its own, with the capitals' patterns.
    message.send("cq de g4xqz?");
    rig.wave->runUntilIdle();
    EXPECT_EQ(rig.heard(), "CQ DE G4XQZ?");

    const std::size_t before = rig.writes();
    message.send("");
    rig.wave->runUntilIdle();
    EXPECT_EQ(rig.heard(before), "_");

    // A code table that has small letters of its own is used as it stands.
    CollectingMessageSink sink;
    CodeTable table;
    loadCodeTableFrom(table, "101,..-\r\n69,.\r\n", sink);
    EXPECT_EQ(messageToSend(table, "ee"), "ee");
    EXPECT_EQ(messageToSend(table, "ax"), "AX");
}

INSTANTIATE_TEST_SUITE_P(BothEditions, MessageFlow, kBothEditions, editionName);

}  // namespace
