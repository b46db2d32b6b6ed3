// A wrong answer in a lesson plays "ding.wav" from the data folder. A FIFO of that name used to
// block both programs at the first wrong answer (opening it waits for a writer that never comes):
// it is refused like a missing file, the chime plays, and the lesson goes on.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <filesystem>
#include <functional>
#include <memory>

#include "core/messages.h"
#include "earkey/practice_layouts.h"
#include "exercises/lesson.h"
#include "keyview/practice_layouts.h"
#include "platform/ui/sound.h"
#include "test_support.h"
#include "tests/editions.h"

namespace keytut::ui {
namespace {

using testing::ExerciseProgram;
using testing::settle;
using testing::showActive;
using testing::waitFor;

struct EditionCase {
    Edition edition;
    // Opens lesson 1 and moves on to recognition; the first character is sent.
    std::function<std::unique_ptr<ExerciseScreen>(App&, const LessonState&)> startRecognition;
    // The stage of the lesson the screen holds.
    std::function<int(Screen&)> stage;
};

std::unique_ptr<ExerciseScreen> earkeyRecognition(App& app, const LessonState& opened) {
    auto screen = std::make_unique<earkey::Practice::Lesson>(app, opened);
    if (!showActive(*screen))
        return nullptr;
    testing::pressKey(*screen, earkey::lesson::kNextStageKey);
    testing::pressKey(*screen, Qt::Key_Return);
    return screen;
}

std::unique_ptr<ExerciseScreen> keyviewRecognition(App& app, const LessonState& opened) {
    auto screen = std::make_unique<keyview::Practice::Lesson>(app, opened);
    if (!showActive(*screen))
        return nullptr;
    testing::press(*screen, keyview::lesson::kNext);
    testing::pressKey(*screen, Qt::Key_Return);  // as Start
    return screen;
}

class DingFile : public ::testing::TestWithParam<EditionCase> {
  protected:
    void SetUp() override {
        folder_ =
            std::filesystem::temp_directory_path() / ("keytut-ding-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(folder_);
    }
    void TearDown() override {
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(folder_);
    }
    std::filesystem::path folder_;
    std::filesystem::path previous_;
};

TEST_P(DingFile, AFifoNamedDingWavPlaysTheChimeAndTheLessonGoesOn) {
    ASSERT_EQ(::mkfifo((folder_ / "ding.wav").c_str(), 0600), 0);

    ExerciseProgram program(GetParam().edition, KEYTUT_DATA_DIR, 5);
    QWidget owner;
    program.app.setMainWindow(&owner);
    // The wrong-answer sound finishes as soon as it is written.
    program.audio.onWrite = [](audio::FakeWaveOut& out) { out.runUntilIdle(); };
    LessonState opened;
    ASSERT_EQ(beginLesson(opened, program.tutor.data.lessonGroups, 1), LessonKind::Character);
    auto screen = GetParam().startRecognition(program.app, opened);
    ASSERT_TRUE(screen);
    settle();
    ASSERT_EQ(GetParam().stage(*screen), 1);
    ASSERT_EQ(program.writes(), 1u);
    const char expected = program.heard()[0];

    ::alarm(20);  // a program blocked on the FIFO ends the test instead of hanging it
    const char wrong = expected == 'E' ? 'T' : 'E';
    screen->keyPressed(wrong);
    EXPECT_TRUE(waitFor([&] { return program.writes() == 2; }, 5000));
    ::alarm(0);

    ASSERT_EQ(program.audio.opened.size(), 1u);
    ASSERT_EQ(program.audio.opened[0]->written().size(), 1u);
    EXPECT_EQ(program.audio.opened[0]->written()[0].samples, chimeSamples());
    EXPECT_EQ(program.heard(1), std::string(1, expected));  // the same character again
    screen->cancel();
    settle();
}

INSTANTIATE_TEST_SUITE_P(
    BothEditions, DingFile,
    ::testing::Values(
        EditionCase{Edition::Earkey, earkeyRecognition,
                    [](Screen& s) {
                        return static_cast<earkey::Practice::Lesson&>(s).lesson().state().stage;
                    }},
        EditionCase{Edition::Keyview, keyviewRecognition,
                    [](Screen& s) {
                        return static_cast<keyview::Practice::Lesson&>(s).lesson().state().stage;
                    }}),
    [](const auto& info) { return nameOf(info.param.edition); });

}  // namespace
}  // namespace keytut::ui
