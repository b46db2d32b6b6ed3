#include <gtest/gtest.h>

#include <map>

#include "exercise_rig.h"
#include "exercises/koch_trainer.h"
#include "progress/store.h"
#include "temp_folder.h"

using namespace keytut;
using keytut::testing::ExerciseRig;

namespace {

constexpr std::int64_t kEpochMs = 1'700'000'000'000;

// A trainer over an in-memory history, its clock the sound device's virtual one.
class KochRig : public ExerciseRig {
  public:
    explicit KochRig(Edition edition, std::string course = std::string(kLcwoCourseOrder),
                     progress::History* kept = nullptr)
        : ExerciseRig(edition), history(kept ? kept : &store) {
        trainer = std::make_unique<KochTrainer>(tutor, history, std::move(course),
                                                [this] { return nowMs(); });
    }
    std::int64_t nowMs() const {
        return kEpochMs + static_cast<std::int64_t>(wave->now() * 1000 / kSampleRate);
    }
    void waitMs(int ms) { wave->advance(static_cast<std::uint64_t>(ms) * kSampleRate / 1000); }

    // Return for a group, the group played to its end, then Return with a copy that has its
    // first `wrong` characters wrong. Returns the judging update.
    KochUpdate copyGroup(int wrong = 0) {
        const KochUpdate start = trainer->returnKey("");
        EXPECT_TRUE(start.groupStarted);
        wave->runUntilIdle();
        takePosted();
        std::string copy = trainer->group();
        for (int i = 0; i < wrong; ++i) {
            char& c = copy[static_cast<std::size_t>(i)];
            c = c == 'K' ? 'M' : 'K';
        }
        return trainer->returnKey(copy);
    }

    static constexpr int kSampleRate = 8000;
    progress::Store store{progress::Store::InMemory{}};
    progress::History* history;
    std::unique_ptr<KochTrainer> trainer;
};

std::vector<progress::AnswerRow> answers(progress::Store& store) {
    std::vector<progress::AnswerRow> rows;
    store.forEachAnswer([&](const progress::AnswerRow& row) { rows.push_back(row); });
    return rows;
}

class KochEditions : public ::testing::TestWithParam<Edition> {};

}  // namespace

TEST(KochCourse, OrdersFromLcwoTheLessonsAndTheLearner) {
    ExerciseRig rig(Edition::Earkey);
    EXPECT_EQ(kLcwoCourseOrder.size(), 41u);
    EXPECT_EQ(parseCourseOrder(kLcwoCourseOrder, rig.tutor.codes).error, "");
    EXPECT_EQ(lessonCourseOrder(rig.tutor.data.lessonGroups, rig.tutor.codes),
              "ETIMANSORKDUGWHCLYFPBVXQJZ1234567890+@!=/.,?");
    // A character standing in two groups comes once, where it first stands; one without a code
    // is left out.
    EXPECT_EQ(lessonCourseOrder({"ETA", "TAN", "%S"}, rig.tutor.codes), "ETANS");

    const auto typed = parseCourseOrder(" k m u\tr e ? ", rig.tutor.codes);
    EXPECT_EQ(typed.characters, "KMURE?");
    EXPECT_EQ(typed.error, "");
    EXPECT_EQ(parseCourseOrder("KMk", rig.tutor.codes).error,
              "The character K is in the course twice");
    EXPECT_EQ(parseCourseOrder("KM%", rig.tutor.codes).error, "The character % has no Morse code");
    EXPECT_EQ(parseCourseOrder(" K ", rig.tutor.codes).error,
              "A course needs at least two characters");
}

TEST(KochJudging, TheCopyIsAlignedByEditDistance) {
    struct Case {
        const char* sent;
        const char* typed;
        const char* answered;  // per character sent: what stands for it, '-' for missed
        int right;
        int extra;
    };
    const Case cases[] = {
        {"KMURE", "KMURE", "KMURE", 5, 0},
        {"KMURE", "KMRE", "KM-RE", 4, 0},   // one missed does not shift the rest
        {"KMURE", "MURE", "-MURE", 4, 0},   // not even the first
        {"KMURE", "KXURE", "KXURE", 4, 0},  // one wrong
        {"KMURE", "KMUURE", "KMURE", 5, 1},
        {"KMURE", "KMUREX", "KMURE", 5, 1},
        {"KMURE", "", "-----", 0, 0},
        {"KMURE", "EMURK", "EMURK", 3, 0},
        {"KKMKK", "KMKK", "K-MKK", 4, 0},  // the earlier K is taken as heard
        {"KMURE", "XXXXXXXX", "XXXXX", 0, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.sent) + " / " + c.typed);
        const auto judged = judgeCopy(c.sent, c.typed);
        ASSERT_EQ(judged.characters.size(), std::string_view(c.sent).size());
        std::string answered;
        for (const auto& j : judged.characters) {
            answered += j.typed ? j.typed : '-';
            EXPECT_EQ(j.right, j.typed == j.sent);
            if (j.typed) {
                EXPECT_EQ(c.typed[j.typedPos], j.typed);
            }
        }
        EXPECT_EQ(answered, c.answered);
        EXPECT_EQ(judged.right, c.right);
        EXPECT_EQ(judged.extra, c.extra);
    }
    EXPECT_EQ(normalisedCopy(" k m\tr e "), "KMRE");
}

TEST(KochJudging, ResultTextsSaidAndShown) {
    EXPECT_EQ(groupResultText("KMURE", "KMRE", judgeCopy("KMURE", "KMRE"), true),
              "4 of 5. Sent K M U R E, you typed K M R E");
    EXPECT_EQ(groupResultText("KMURE", "", judgeCopy("KMURE", ""), true),
              "0 of 5. Sent K M U R E, you typed nothing");
    EXPECT_EQ(groupResultText("K.=R,", "K.=R/", judgeCopy("K.=R,", "K.=R/"), true),
              "4 of 5. Sent K Full Stop Pause R Comma, you typed K Full Stop Pause R Slash");
    EXPECT_EQ(groupResultText("K.=R,", "K.=R/", judgeCopy("K.=R,", "K.=R/"), false),
              "4 of 5. Sent K . = R ,, you typed K . = R /");
}

TEST(KochWeighting, RecentErrorsAndTheNewestCharacterComeMoreOften) {
    RecentResults recent;
    recent.load('K', std::vector<bool>(50, false));  // always wrong lately
    // M: 100 answers, the 50 older ones wrong: only the last 50, all right, count.
    std::vector<bool> m(100, true);
    std::fill(m.begin(), m.begin() + 50, false);
    recent.load('M', m);
    recent.load('R', {true, false, true, false});
    EXPECT_EQ(recent.count('M'), 50);
    EXPECT_DOUBLE_EQ(recent.errorRate('M'), 0.0);
    EXPECT_DOUBLE_EQ(recent.errorRate('R'), 0.5);
    EXPECT_DOUBLE_EQ(recent.errorRate('U'), 0.0);  // never answered
    for (int i = 0; i < 50; ++i)
        recent.add('R', true);  // fifty right ones push the errors out
    EXPECT_DOUBLE_EQ(recent.errorRate('R'), 0.0);

    EXPECT_EQ(drawWeights("KMU", recent, true), (std::vector<double>{5.0, 1.0, 2.0}));
    EXPECT_EQ(drawWeights("KMU", recent, false), (std::vector<double>{5.0, 1.0, 1.0}));

    // Drawn as weighed: K 5/8, M 1/8, U 2/8 of the characters.
    Random random(11);
    std::map<char, int> seen;
    constexpr int kGroups = 4000;
    for (int g = 0; g < kGroups; ++g) {
        const std::string group = drawGroup(random, "KMU", {5.0, 1.0, 2.0});
        ASSERT_EQ(group.size(), 5u);
        for (char c : group)
            ++seen[c];
    }
    const double all = 5.0 * kGroups;
    EXPECT_NEAR(seen['K'] / all, 5.0 / 8, 0.015);
    EXPECT_NEAR(seen['M'] / all, 1.0 / 8, 0.015);
    EXPECT_NEAR(seen['U'] / all, 2.0 / 8, 0.015);
}

// The trainer reads the history it is given: a character the learner keeps getting wrong in
// another exercise turns up more in the groups.
TEST(KochWeighting, TheTrainerWeighsTheKeptAnswers) {
    progress::Store store{progress::Store::InMemory{}};
    store.keepLevel(std::string(kLcwoCourseOrder), 4, 1);  // K M U R
    const auto session = store.beginSession({"earkey", "lesson", 1, "", 0});
    for (int i = 0; i < 50; ++i) {
        store.record(session, {1, 'M', 'K', false, {}, 12, 12});
        store.record(session, {1, 'K', 'K', true, {}, 12, 12});
        store.record(session, {1, 'U', 'U', true, {}, 12, 12});
        store.record(session, {1, 'R', 'R', true, {}, 12, 12});
    }
    KochRig rig(Edition::Keyview, std::string(kLcwoCourseOrder), &store);
    EXPECT_EQ(rig.trainer->level(), 4);
    EXPECT_DOUBLE_EQ(rig.trainer->recent().errorRate('M'), 1.0);
    EXPECT_DOUBLE_EQ(rig.trainer->recent().errorRate('K'), 0.0);
    // The learner goes on hearing M as K: M weighs 5, R (the newest) 2, K and U 1 each.
    std::map<char, int> seen;
    constexpr int kGroups = 400;
    for (int g = 0; g < kGroups; ++g) {
        rig.trainer->returnKey("");
        std::string copy = rig.trainer->group();
        for (char& c : copy) {
            ++seen[c];
            c = c == 'M' ? 'K' : c;
        }
        rig.trainer->returnKey(copy);
        rig.trainer->close();  // never twenty groups in a row: the level stays
    }
    const double all = 5.0 * kGroups;
    EXPECT_NEAR(seen['M'] / all, 5.0 / 9, 0.03);
    EXPECT_NEAR(seen['R'] / all, 2.0 / 9, 0.03);
    EXPECT_NEAR(seen['K'] / all, 1.0 / 9, 0.03);
    EXPECT_NEAR(seen['U'] / all, 1.0 / 9, 0.03);
}

TEST_P(KochEditions, AGroupIsSentJudgedAndKept) {
    KochRig rig(GetParam());
    const bool earkey = GetParam() == Edition::Earkey;
    EXPECT_EQ(rig.trainer->openingText(),
              "Level 2 of 41: K M. Return sends a group of five; type what you heard and press "
              "Return.");
    EXPECT_EQ(rig.trainer->phase(), KochTrainer::Phase::Waiting);

    const auto start = rig.trainer->returnKey("typed before the start is not judged");
    EXPECT_TRUE(start.acted);
    EXPECT_TRUE(start.groupStarted);
    EXPECT_FALSE(start.result);
    const std::string group = rig.trainer->group();
    ASSERT_EQ(group.size(), 5u);
    EXPECT_EQ(group.find_first_not_of("KM"), std::string::npos);
    rig.wave->runUntilIdle();
    EXPECT_EQ(rig.heard(), group);  // through the sender, at the main window's speeds

    // The learner drops the third character and types the rest in small letters.
    const std::string copy = std::string(1, static_cast<char>(std::tolower(group[0]))) + group[1] +
                             " " + group.substr(3);
    const auto judged = rig.trainer->returnKey(copy);
    ASSERT_TRUE(judged.result);
    std::string expected = "4 of 5. Sent ";
    for (std::size_t i = 0; i < 5; ++i)
        expected += std::string(i ? " " : "") + group[i];
    expected += ", you typed ";
    const std::string typed = group.substr(0, 2) + group.substr(3);
    for (std::size_t i = 0; i < 4; ++i)
        expected += std::string(i ? " " : "") + typed[i];
    // A missed K after a K (or M after M) may be taken as the one before it: the count holds.
    EXPECT_EQ(*judged.result, expected);
    ASSERT_TRUE(judged.row);
    EXPECT_EQ(judged.row->sent, group);
    EXPECT_EQ(judged.row->typed, typed);
    EXPECT_EQ(std::count(judged.row->wrong.begin(), judged.row->wrong.end(), true), 1);
    EXPECT_FALSE(judged.sessionResult);
    EXPECT_FALSE(judged.notice);
    EXPECT_EQ(rig.trainer->phase(), KochTrainer::Phase::Waiting);

    const auto kept = answers(rig.store);
    ASSERT_EQ(kept.size(), 5u);
    int missed = 0;
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(kept[i].answer.sent, group[i]);
        EXPECT_EQ(kept[i].edition, earkey ? "earkey" : "keyview");
        EXPECT_EQ(kept[i].exercise, "koch");
        EXPECT_EQ(kept[i].answer.charWpm, 12);
        EXPECT_EQ(kept[i].answer.wordWpm, 12);
        EXPECT_EQ(kept[i].answer.timeMs, rig.nowMs());
        missed += kept[i].answer.answered == 0 ? 1 : 0;
    }
    EXPECT_EQ(missed, 1);
    // The session is open, one group in; its answers are counted as they come.
    auto session = rig.store.lastSession("koch");
    ASSERT_TRUE(session);
    EXPECT_EQ(session->answers, 5);
    EXPECT_EQ(session->right, 4);
    EXPECT_EQ(session->endedMs, std::nullopt);
    EXPECT_EQ(session->level, 2);
    EXPECT_EQ(rig.store.currentCourse()->course, kLcwoCourseOrder);

    // Escape: the session ends with what was judged; no new character from a part session.
    rig.trainer->close();
    session = rig.store.lastSession("koch");
    EXPECT_EQ(session->endedMs, rig.nowMs());
    EXPECT_EQ(rig.trainer->level(), 2);
}

TEST_P(KochEditions, ResponseTimesRunFromEachCharacterSoundsEnd) {
    KochRig rig(GetParam());
    rig.waitMs(5000);
    const std::int64_t start = rig.nowMs();
    rig.trainer->returnKey("");
    const std::string group = rig.trainer->group();
    // When each character ends, from its samples.
    std::vector<std::int64_t> ends;
    std::vector<std::int16_t> buffer(kSampleBufferSize);
    std::size_t samples = 0;
    for (char c : group) {
        samples +=
            synthesiseCharacter(c, rig.tutor.codes, rig.tutor.tone, rig.tutor.timing, buffer);
        ends.push_back(start + static_cast<std::int64_t>(samples * 1000 / 8000));
    }
    // The first two typed while the group sounds, a wrong one corrected, the rest afterwards.
    std::string box;
    std::vector<std::int64_t> typedAt(5);
    for (std::size_t i = 0; i < 5; ++i) {
        const std::int64_t at = ends[i] + 300 + 100 * static_cast<std::int64_t>(i);
        rig.waitMs(static_cast<int>(at - rig.nowMs()));
        if (i == 2) {
            rig.trainer->typedChanged(box + "X");
            rig.waitMs(200);
            rig.trainer->typedChanged(box);
        }
        box += static_cast<char>(std::tolower(group[i]));
        typedAt[i] = rig.nowMs();
        rig.trainer->typedChanged(box);
    }
    rig.waitMs(700);
    rig.trainer->returnKey(box);
    const auto kept = answers(rig.store);
    ASSERT_EQ(kept.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(kept[i].answer.right);
        EXPECT_EQ(kept[i].answer.responseMs, typedAt[i] - ends[i]);
    }
    EXPECT_EQ(kept[2].answer.responseMs, 300 + 200 + 200);  // from the corrected keystroke

    // A copy the box never showed (pasted, or no typing reported) has no response times.
    rig.trainer->returnKey("");
    rig.wave->runUntilIdle();
    rig.trainer->returnKey(rig.trainer->group());
    const auto more = answers(rig.store);
    ASSERT_EQ(more.size(), 10u);
    EXPECT_EQ(more[7].answer.responseMs, std::nullopt);
}

TEST_P(KochEditions, AWholeSessionAt90PercentAddsTheNextCharacter) {
    KochRig rig(GetParam());
    const bool earkey = GetParam() == Edition::Earkey;
    // 90 of 100: ten groups right and ten with one wrong.
    KochUpdate last;
    for (int g = 0; g < kKochSessionGroups; ++g) {
        last = rig.copyGroup(g % 2);
        if (g + 1 < kKochSessionGroups) {
            EXPECT_FALSE(last.sessionResult) << g;
        }
    }
    ASSERT_TRUE(last.result);
    ASSERT_TRUE(last.sessionResult);
    EXPECT_EQ(*last.sessionResult,
              "Session 90 percent. New character: U. Press Return to hear it three times.");
    EXPECT_EQ(last.newCharacter, 'U');
    EXPECT_EQ(rig.trainer->level(), 3);
    EXPECT_EQ(rig.trainer->learnt(), "KMU");
    EXPECT_EQ(rig.store.level(std::string(kLcwoCourseOrder)), 3);
    auto session = rig.store.lastSession("koch");
    EXPECT_EQ(session->answers, 100);
    EXPECT_EQ(session->right, 90);
    EXPECT_TRUE(session->endedMs);
    EXPECT_EQ(rig.trainer->phase(), KochTrainer::Phase::NewCharacter);

    // The next Return sends it three times; the one after starts a new session with it.
    const std::size_t from = rig.writes();
    const auto three = rig.trainer->returnKey("");
    EXPECT_TRUE(three.newCharacterSent);
    EXPECT_FALSE(three.groupStarted);
    rig.wave->runUntilIdle();
    EXPECT_EQ(rig.heard(from), "U U U");
    std::map<char, int> seen;
    for (int g = 0; g < 10; ++g) {
        rig.copyGroup();
        for (char c : rig.trainer->group())
            ++seen[c];
    }
    EXPECT_GT(seen['U'], 0);
    EXPECT_EQ(seen.size(), 3u);
    EXPECT_EQ(rig.trainer->groupsInSession(), 10);
    rig.trainer->close();

    // The level is kept: the trainer opens there again, in either edition.
    KochRig again(earkey ? Edition::Keyview : Edition::Earkey, std::string(kLcwoCourseOrder),
                  &rig.store);
    EXPECT_EQ(again.trainer->level(), 3);
    EXPECT_EQ(again.trainer->openingText().substr(0, 21), "Level 3 of 41: K M U.");
    // Another course order has a level of its own.
    KochRig other(GetParam(), "ETIMANS", &rig.store);
    EXPECT_EQ(other.trainer->level(), 2);
}

TEST_P(KochEditions, BelowNinetyPercentOrCutShortTheLevelStays) {
    KochRig rig(GetParam());
    // 89 of 100: it says 89 percent and adds nothing.
    KochUpdate last;
    for (int g = 0; g < kKochSessionGroups; ++g)
        last = rig.copyGroup(g < 11 ? 1 : 0);
    ASSERT_TRUE(last.sessionResult);
    EXPECT_EQ(*last.sessionResult, "Session 89 percent. 90 percent adds the next character.");
    EXPECT_FALSE(last.newCharacter);
    EXPECT_EQ(rig.trainer->level(), 2);
    EXPECT_EQ(rig.trainer->phase(), KochTrainer::Phase::Waiting);

    // 19 perfect groups and Escape: not a whole session.
    for (int g = 0; g < kKochSessionGroups - 1; ++g)
        rig.copyGroup();
    rig.trainer->close();
    EXPECT_EQ(rig.trainer->level(), 2);
    EXPECT_EQ(rig.store.lastSession("koch")->answers, 95);
    // The next Return opens a new session of twenty.
    rig.copyGroup();
    EXPECT_EQ(rig.trainer->groupsInSession(), 1);

    // At the end of a course there is nothing to add.
    KochRig two(GetParam(), "KM");
    for (int g = 0; g < kKochSessionGroups; ++g)
        last = two.copyGroup();
    EXPECT_EQ(*last.sessionResult, "Session 100 percent. Every character of the course is learnt.");
    EXPECT_EQ(two.trainer->level(), 2);
}

TEST(KochFaults, AHistoryThatCannotKeepIsToldOnceAndTheTrainerGoesOn) {
    keytut::testing::TempFolder folder;
    folder.write("progress.sqlite3", std::string(4096, '#'));
    progress::Store damaged(folder.path / "progress.sqlite3");
    ASSERT_FALSE(damaged.keeping());
    KochRig rig(Edition::Earkey, std::string(kLcwoCourseOrder), &damaged);
    const auto first = rig.trainer->returnKey("");
    ASSERT_TRUE(first.notice);
    EXPECT_NE(first.notice->find("is damaged. It is left as it is."), std::string::npos);
    rig.wave->runUntilIdle();
    const auto judged = rig.trainer->returnKey(rig.trainer->group());
    EXPECT_FALSE(judged.notice);
    EXPECT_EQ(judged.result->substr(0, 6), "5 of 5");
    // Without any history the groups are still weighed by this visit's answers.
    KochRig none(Edition::Keyview);
    KochTrainer bare(none.tutor, nullptr, "KMU", [] { return kEpochMs; });
    bare.returnKey("");
    const std::string group = bare.group();
    const auto nothing = bare.returnKey("");
    EXPECT_EQ(nothing.result->substr(0, 6), "0 of 5");
    EXPECT_FALSE(nothing.notice);
    for (char c : group)
        EXPECT_DOUBLE_EQ(bare.recent().errorRate(c), 1.0) << c;
}

INSTANTIATE_TEST_SUITE_P(BothEditions, KochEditions, kBothEditions, editionName);
