// The learner's progress through the screens of both editions: the lesson's recognition stage and
// the Koch trainer keep every judged answer in the progress file, a store fault is told once and
// the file left as it was, the Koch level rule works through the screen, and the progress screen
// shows what the file holds.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QtCharts/QAbstractAxis>
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QXYSeries>
#include <fstream>
#include <iterator>
#include <memory>

#include "earkey/koch_screen.h"
#include "earkey/practice_layouts.h"
#include "earkey/progress_screen.h"
#include "exercises/koch_trainer.h"
#include "keyview/koch_screen.h"
#include "keyview/practice_layouts.h"
#include "keyview/progress_screen.h"
#include "platform/ui/learner_progress.h"
#include "progress/store.h"
#include "test_support.h"
#include "tests/exercises/temp_folder.h"

namespace keytut::ui {
namespace {

using testing::announced;
using testing::ExerciseProgram;
using testing::pressKey;
using testing::settle;
using testing::showActive;

std::vector<progress::AnswerRow> answersIn(const std::filesystem::path& file) {
    std::vector<progress::AnswerRow> rows;
    progress::Store store(file, progress::Store::Mode::Existing);
    EXPECT_TRUE(store.keeping()) << (store.fault() ? store.fault()->text() : "");
    store.forEachAnswer([&rows](const progress::AnswerRow& row) { rows.push_back(row); });
    return rows;
}

std::string bytesOf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const std::string kNotKept = "Progress is not being kept";

class ProgressScreens : public ::testing::TestWithParam<Edition> {
  protected:
    ProgressScreens() : file(folder.path / "progress.sqlite3"), program(makeProgram(file)) {}

    std::unique_ptr<ExerciseProgram> makeProgram(const std::filesystem::path& progressFile) {
        ProgramOptions options;
        options.progressFile = progressFile;
        return std::make_unique<ExerciseProgram>(GetParam(), KEYTUT_DATA_DIR, 5, options);
    }
    bool earkey() const { return GetParam() == Edition::Earkey; }
    App& app() { return program->app; }

    // The lesson screen of group 1 in its recognition stage, its first character sent.
    std::unique_ptr<ExerciseScreen> recognitionStage() {
        LessonState opened;
        EXPECT_EQ(beginLesson(opened, app().tutor.data.lessonGroups, 1), LessonKind::Character);
        std::unique_ptr<ExerciseScreen> screen;
        if (earkey()) {
            auto lesson = std::make_unique<earkey::Practice::Lesson>(app(), opened);
            lessonOf = &lesson->lesson();
            pressKey(*lesson, earkey::lesson::kNextStageKey);
            pressKey(*lesson, Qt::Key_Return);
            screen = std::move(lesson);
        } else {
            auto lesson = std::make_unique<keyview::Practice::Lesson>(app(), opened);
            lessonOf = const_cast<CharacterLesson*>(&lesson->lesson());
            testing::press(*lesson, keyview::lesson::kNext);
            pressKey(*lesson, Qt::Key_Return);  // as Start
            screen = std::move(lesson);
        }
        EXPECT_TRUE(showActive(*screen));
        settle();
        return screen;
    }
    // A key as the poller reports it.
    void press(ExerciseScreen& screen, char c) {
        screen.keyPressed(c);
        settle();
    }

    std::unique_ptr<ExerciseScreen> kochScreen() {
        std::unique_ptr<ExerciseScreen> screen;
        if (earkey()) {
            auto koch = std::make_unique<earkey::KochScreen>(app());
            trainer = &koch->trainer();
            copyBox = koch->copyBox();
            screen = std::move(koch);
        } else {
            auto koch = std::make_unique<keyview::KochScreen>(app());
            trainer = &koch->trainer();
            copyBox = koch->copyBox();
            screen = std::move(koch);
        }
        EXPECT_TRUE(showActive(*screen));
        settle();
        return screen;
    }
    void returnKey() {
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr);
        QTest::keyClick(focused, Qt::Key_Return);
        settle();
    }
    // Return sends a group; `typed` (the group itself when none) is typed, and Return judges it.
    void copyGroup(std::optional<std::string> typed = std::nullopt) {
        returnKey();
        ASSERT_EQ(trainer->phase(), KochTrainer::Phase::Copying);
        ASSERT_TRUE(copyBox->hasFocus());
        QTest::keyClicks(copyBox, QString::fromStdString(typed.value_or(trainer->group())));
        returnKey();
    }
    // What the screen gave of the last group: Earkey said it, Keyview shows it under the list.
    std::string lastResult(ExerciseScreen& screen) {
        if (earkey()) {
            auto& koch = static_cast<earkey::KochScreen&>(screen);
            EXPECT_EQ(announced(), koch.resultBox()->text().toStdString());
            return koch.resultBox()->text().toStdString();
        }
        return static_cast<keyview::KochScreen&>(screen).status()->text().toStdString();
    }

    keytut::testing::TempFolder folder;
    std::filesystem::path file;
    std::unique_ptr<ExerciseProgram> program;
    CharacterLesson* lessonOf = nullptr;
    KochTrainer* trainer = nullptr;
    QLineEdit* copyBox = nullptr;
};

TEST_P(ProgressScreens, LessonKeepsEachJudgedKey) {
    {
        auto screen = recognitionStage();
        const char first = lessonOf->expected().at(0);
        const char wrong = first == 'Z' ? 'Y' : 'Z';
        press(*screen, wrong);
        press(*screen, first);
        screen->endScreen();
        settle();
    }
    const auto rows = answersIn(file);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].edition, earkey() ? "earkey" : "keyview");
    EXPECT_EQ(rows[0].exercise, "lesson");
    EXPECT_FALSE(rows[0].answer.right);
    EXPECT_TRUE(rows[1].answer.right);
    EXPECT_EQ(rows[0].answer.sent, rows[1].answer.sent);
    EXPECT_EQ(rows[1].answer.answered, rows[1].answer.sent);
    EXPECT_EQ(rows[0].answer.charWpm, 12);
    EXPECT_TRUE(program->messages.messages.empty());
}

TEST_P(ProgressScreens, DamagedFileToldOnceAndLeftAsItWas) {
    const std::string damage(8192, '\x5a');
    folder.write("progress.sqlite3", damage);
    auto screen = recognitionStage();
    const char first = lessonOf->expected().at(0);
    press(*screen, first);
    const std::string told = earkey() ? announced() : "";
    press(*screen, lessonOf->expected().at(0));
    press(*screen, lessonOf->expected().at(0));
    screen->endScreen();
    settle();
    if (earkey()) {
        EXPECT_EQ(told.rfind(kNotKept, 0), 0u) << told;
        EXPECT_TRUE(program->messages.messages.empty());
    } else {
        ASSERT_EQ(program->messages.messages.size(), 1u);
        EXPECT_EQ(program->messages.messages[0].rfind(kNotKept, 0), 0u);
    }
    // The lesson went on: every right key brought the next character.
    EXPECT_EQ(lessonOf->stage(), 1);
    EXPECT_EQ(bytesOf(file), damage);
}

TEST_P(ProgressScreens, KochGroupsKeptAsJudged) {
    std::vector<std::string> sent;
    std::vector<std::string> typed;
    {
        auto screen = kochScreen();
        EXPECT_EQ(trainer->level(), kKochFirstLevel);
        // One right, one with a character missed, one with a character wrong.
        for (int i = 0; i < 3; ++i) {
            returnKey();
            const std::string group = trainer->group();
            std::string copy = group;
            if (i == 1)
                copy.erase(2, 1);
            if (i == 2)
                copy[4] = copy[4] == 'K' ? 'M' : 'K';
            QTest::keyClicks(copyBox, QString::fromStdString(copy));
            returnKey();
            sent.push_back(group);
            typed.push_back(copy);
            const std::string result = lastResult(*screen);
            EXPECT_EQ(result.rfind(i == 0 ? "5 of 5. Sent " : "4 of 5. Sent ", 0), 0u) << result;
        }
        if (!earkey()) {
            QListWidget* list = static_cast<keyview::KochScreen&>(*screen).groups();
            ASSERT_EQ(list->count(), 3);
            EXPECT_EQ(list->item(0)->data(keyview::kWrongRole).toString(), "00000");
            // Which of equal characters counts as the one missed is the alignment's choice.
            EXPECT_EQ(list->item(1)->data(keyview::kWrongRole).toString().count('1'), 1);
            EXPECT_EQ(list->item(2)->data(keyview::kWrongRole).toString(), "00001");
            EXPECT_EQ(list->item(1)->data(keyview::kTypedRole).toString().toStdString(), typed[1]);
        }
        // Escape ends the session early; the three groups judged are kept.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        settle();
        EXPECT_TRUE(screen->ended());
    }
    const auto rows = answersIn(file);
    ASSERT_EQ(rows.size(), 15u);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].exercise, "koch");
        EXPECT_EQ(rows[i].answer.sent, sent[i / 5][i % 5]) << i;
    }
    // The character missed in the second group: one answer of nothing, for that character.
    int missed = 0;
    for (std::size_t i = 5; i < 10; ++i) {
        if (!rows[i].answer.right) {
            ++missed;
            EXPECT_EQ(rows[i].answer.answered, 0);
            EXPECT_EQ(rows[i].answer.sent, sent[1][2]);
        }
    }
    EXPECT_EQ(missed, 1);
    EXPECT_FALSE(rows[14].answer.right);
    EXPECT_EQ(rows[14].answer.answered, typed[2][4]);
    int right = 0;
    for (const auto& row : rows)
        right += row.answer.right;
    EXPECT_EQ(right, 13);
    progress::Store store(file, progress::Store::Mode::Existing);
    auto last = store.lastSession(std::string(kKochExercise));
    ASSERT_TRUE(last);
    EXPECT_TRUE(last->endedMs);
    EXPECT_EQ(last->answers, 15);
    // A session cut short adds nothing.
    EXPECT_EQ(store.level(std::string(kLcwoCourseOrder)), kKochFirstLevel);
}

TEST_P(ProgressScreens, KochSessionAtNinetyPercentAddsTheNextCharacter) {
    {
        auto screen = kochScreen();
        // Two groups with one character missed each: 98 of 100.
        for (int i = 0; i < kKochSessionGroups; ++i) {
            if (i < 2) {
                returnKey();
                std::string copy = trainer->group();
                copy.erase(0, 1);
                QTest::keyClicks(copyBox, QString::fromStdString(copy));
                returnKey();
            } else {
                copyGroup();
            }
        }
        const char added = kLcwoCourseOrder[kKochFirstLevel];
        EXPECT_EQ(trainer->level(), kKochFirstLevel + 1);
        const std::string result = lastResult(*screen);
        EXPECT_NE(result.find("Session 98 percent. New character: " + std::string(1, added)),
                  std::string::npos)
            << result;
        // The next Return sends the new character three times.
        const std::size_t before = program->writes();
        returnKey();
        EXPECT_EQ(program->heard(before).substr(0, 1), std::string(1, added));
        program->wave->runUntilIdle();
        EXPECT_EQ(program->heard(before).substr(0, 5),
                  (std::string{added, ' ', added, ' ', added}));
        EXPECT_EQ(trainer->phase(), KochTrainer::Phase::Waiting);
        screen->endScreen();
        settle();
    }
    // The level is kept: the trainer opens at it again.
    auto again = kochScreen();
    EXPECT_EQ(trainer->level(), kKochFirstLevel + 1);
    EXPECT_EQ(answersIn(file).size(), 100u);
}

TEST_P(ProgressScreens, KochSessionBelowNinetyPercentKeepsTheLevel) {
    auto screen = kochScreen();
    // Five groups of at most two right: 85 percent at the most.
    for (int i = 0; i < kKochSessionGroups; ++i)
        copyGroup(i < 5 ? std::optional<std::string>("KK") : std::nullopt);
    EXPECT_EQ(trainer->level(), kKochFirstLevel);
    EXPECT_NE(lastResult(*screen).find("90 percent adds the next character"), std::string::npos);
}

// The session chart's time axis.
static QAbstractAxis* timeAxis(keyview::ProgressScreen& screen) {
    const auto axes = screen.sessionChart()->chart()->axes(Qt::Horizontal);
    return axes.isEmpty() ? nullptr : axes.at(0);
}

// The character chart's names as the learner sees them under the bars, and how large.
struct ChartNames {
    std::string shown;  // the texts written under the bars, sorted; "..." where one was cut short
    qreal pointSize = 0;
    qreal percentPointSize = 0;  // the percentages beside them
};

static ChartNames chartNames(keyview::ProgressScreen& screen) {
    ChartNames names;
    QChart* chart = screen.characterChart()->chart();
    auto* axis = qobject_cast<QBarCategoryAxis*>(chart->axes(Qt::Horizontal).value(0));
    auto* percent = chart->axes(Qt::Vertical).value(0);
    if (!axis || !percent)
        return names;
    names.pointSize = axis->labelsFont().pointSizeF();
    names.percentPointSize = percent->labelsFont().pointSizeF();
    QStringList shown;
    for (QGraphicsItem* item : chart->scene()->items()) {
        auto* text = dynamic_cast<QGraphicsTextItem*>(item);
        if (text && text->isVisible() && text->font() == axis->labelsFont() &&
            chart->plotArea().bottom() < text->scenePos().y())
            shown << text->toPlainText();
    }
    shown.sort();
    names.shown = shown.join(' ').toStdString();
    return names;
}

TEST_P(ProgressScreens, ProgressScreenShowsTheFile) {
    if (!earkey()) {
        keyview::ProgressScreen screen(app());
        ASSERT_TRUE(showActive(screen));
        EXPECT_EQ(screen.sessionChart()->chart()->title(), "Koch sessions: none yet");
        // No dates under a chart of no sessions.
        ASSERT_NE(timeAxis(screen), nullptr);
        EXPECT_FALSE(timeAxis(screen)->labelsVisible());
    }
    {
        auto screen = kochScreen();
        copyGroup();
        screen->endScreen();
        settle();
    }
    progress::Store store(file, progress::Store::Mode::Existing);
    const auto stats = store.characterStats();
    ASSERT_FALSE(stats.empty());
    if (earkey()) {
        earkey::ProgressScreen screen(app());
        ASSERT_TRUE(showActive(screen));
        settle();
        const auto& lines = screen.lines();
        ASSERT_EQ(lines.size(), 1u + kKochFirstLevel);
        EXPECT_EQ(lines[0].rfind("Level 2 of 41. Last session 100 percent", 0), 0u) << lines[0];
        EXPECT_EQ(lines[1].rfind("K: 100 percent of ", 0), 0u) << lines[1];
        // The summary is where the screen reader starts; Down and Up say each line.
        EXPECT_EQ(screen.lineBox()->text().toStdString(), lines[0]);
        EXPECT_TRUE(screen.lineBox()->holdsFocus());
        // At either end the line there is said again.
        const std::vector<std::pair<Qt::Key, int>> walk = {{Qt::Key_Down, 1}, {Qt::Key_Down, 2},
                                                           {Qt::Key_Down, 2}, {Qt::Key_Up, 1},
                                                           {Qt::Key_Up, 0},   {Qt::Key_Up, 0}};
        for (const auto& [key, expected] : walk) {
            QTest::keyClick(QApplication::focusWidget(), key);
            settle();
            EXPECT_EQ(screen.line(), expected);
            EXPECT_EQ(screen.lineBox()->text().toStdString(),
                      lines[static_cast<std::size_t>(expected)]);
            EXPECT_TRUE(screen.lineBox()->holdsFocus());
        }
        EXPECT_EQ(screen.line(), 0);
        EXPECT_EQ(screen.lineBox()->text().toStdString(), lines[0]);
    } else {
        keyview::ProgressScreen screen(app());
        ASSERT_TRUE(showActive(screen));
        EXPECT_EQ(
            screen.summary()->text().toStdString().rfind("Level 2 of 41. Last session 100", 0), 0u);
        auto* bars = qobject_cast<QBarSeries*>(screen.characterChart()->chart()->series().at(0));
        ASSERT_NE(bars, nullptr);
        ASSERT_EQ(bars->barSets().at(0)->count(), kKochFirstLevel);
        EXPECT_EQ(bars->barSets().at(0)->at(0), 100);
        auto* line = qobject_cast<QXYSeries*>(screen.sessionChart()->chart()->series().at(0));
        ASSERT_NE(line, nullptr);
        ASSERT_EQ(line->count(), 1);
        EXPECT_EQ(line->at(0).y(), 100);
        EXPECT_TRUE(timeAxis(screen)->labelsVisible());
        // The first level's two characters are named as large as the percentages.
        settle();
        const ChartNames first = chartNames(screen);
        EXPECT_EQ(first.shown, "K M");
        EXPECT_EQ(first.pointSize, first.percentPointSize);
    }
    if (!earkey()) {
        // The whole course answered: forty-one names side by side, each shown whole.
        progress::Store more(file, progress::Store::Mode::Existing);
        const progress::SessionId session = more.beginSession({"keyview", "lesson", 1, "", 0});
        QStringList course;
        for (char c : kLcwoCourseOrder) {
            more.record(session, {2, c, c, true, std::nullopt, 20, 12});
            course << QString(QLatin1Char(c));
        }
        more.endSession(session, 3);
        course.sort();
        keyview::ProgressScreen screen(app());
        ASSERT_TRUE(showActive(screen));
        settle();
        const ChartNames all = chartNames(screen);
        EXPECT_EQ(all.shown, course.join(' ').toStdString());
        EXPECT_LT(all.pointSize, all.percentPointSize);
    }
}

TEST_P(ProgressScreens, KochCourseChosenAndKept) {
    const std::string lessons = lessonCourseOrder(app().tutor.data.lessonGroups, app().tutor.codes);
    QComboBox* list = nullptr;
    QLineEdit* own = nullptr;
    auto courseWidgets = [&](ExerciseScreen& screen) {
        if (earkey()) {
            auto& koch = static_cast<earkey::KochScreen&>(screen);
            list = koch.courseList();
            own = koch.ownOrderBox();
        } else {
            auto& koch = static_cast<keyview::KochScreen&>(screen);
            list = koch.courseList();
            own = koch.ownOrderBox();
        }
    };
    // What the screen gave of a course that cannot be used.
    auto told = [&](ExerciseScreen& screen) {
        return earkey() ? announced()
                        : static_cast<keyview::KochScreen&>(screen).status()->text().toStdString();
    };
    {
        auto screen = kochScreen();
        courseWidgets(*screen);
        EXPECT_EQ(list->currentIndex(), 0);
        EXPECT_EQ(trainer->course(), kLcwoCourseOrder);
        // The lessons' order, chosen in the list.
        list->setCurrentIndex(1);
        emit list->activated(1);
        trainer = &(earkey() ? static_cast<earkey::KochScreen&>(*screen).trainer()
                             : static_cast<keyview::KochScreen&>(*screen).trainer());
        EXPECT_EQ(trainer->course(), lessons);
        // An own order that cannot be used is told and changes nothing.
        // The box shows the order in use.
        EXPECT_EQ(own->text().toStdString(), lessons);
        own->setFocus();
        own->clear();
        QTest::keyClicks(own, "e t e");
        QTest::keyClick(own, Qt::Key_Return);
        EXPECT_EQ(told(*screen), "The character E is in the course twice");
        EXPECT_EQ(trainer->course(), lessons);
        // One that can: Return in its box takes it, at its first level.
        own->clear();
        QTest::keyClicks(own, "e i s h");
        QTest::keyClick(own, Qt::Key_Return);
        trainer = &(earkey() ? static_cast<earkey::KochScreen&>(*screen).trainer()
                             : static_cast<keyview::KochScreen&>(*screen).trainer());
        EXPECT_EQ(trainer->course(), "EISH");
        EXPECT_EQ(list->currentIndex(), kOwnCourseChoice);
        EXPECT_EQ(trainer->learnt(), "EI");
        copyBox->setFocus();
        copyGroup();
        for (char c : trainer->group())
            EXPECT_TRUE(c == 'E' || c == 'I') << trainer->group();
        screen->endScreen();
        settle();
    }
    // The course used last is the one the trainer opens on.
    auto again = kochScreen();
    courseWidgets(*again);
    EXPECT_EQ(trainer->course(), "EISH");
    EXPECT_EQ(list->currentIndex(), kOwnCourseChoice);
    EXPECT_EQ(own->text().toStdString(), "EISH");
    const auto rows = answersIn(file);
    ASSERT_EQ(rows.size(), 5u);
}

INSTANTIATE_TEST_SUITE_P(BothEditions, ProgressScreens, kBothEditions, editionName);

TEST(EarkeyKochScreen, OpensInTheCopyBoxSayingTheOpeningText) {
    ExerciseProgram program(Edition::Earkey, KEYTUT_DATA_DIR, 5);
    earkey::KochScreen screen(program.app);
    ASSERT_TRUE(showActive(screen));
    settle();
    auto said = [] {
        QAccessibleInterface* a =
            QAccessible::queryAccessibleInterface(QApplication::focusWidget());
        return a->text(QAccessible::Name).toStdString() + " / " +
               a->text(QAccessible::Description).toStdString();
    };
    EXPECT_EQ(screen.focusedId(), earkey::koch::kCopyBox);
    EXPECT_EQ(said(), "Copy: / " + screen.trainer().openingText());
    // Tab walks the result box, the course list and the own-order box; the opening text is no
    // stop of its own.
    std::vector<int> walk;
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        walk.push_back(screen.focusedId());
    }
    using namespace earkey::koch;
    EXPECT_EQ(walk, (std::vector<int>{kResultBox, kCourse, kOwnOrder, kCopyBox}));
    // Once typed into, the box says what it holds.
    QTest::keyClicks(screen.copyBox(), "km");
    EXPECT_EQ(said(), "Copy: / km");
}

}  // namespace
}  // namespace keytut::ui
