// What the main windows of both editions share: the speed and port settings, the colours, the
// dispatch of the exercise buttons and the end of the program.
#pragma once

#include <functional>
#include <string>

#include "app.h"
#include "screen.h"

namespace keytut::ui {

// The exercises a main window starts; each returns when its screen has closed.
struct ExerciseEntries {
    std::function<void(int)> lesson;  // lesson group n, 1-based
    std::function<void()> thirtyWordTest;
    std::function<void()> qsoPractice;
    std::function<void()> messageSending;
    std::function<void()> fileSending;
    std::function<void()> straightKeyDecoding;
    std::function<void()> paddleKeyDecoding;
    std::function<void()> kochTrainer;
    std::function<void()> progress;
};

namespace menu {
constexpr int kFirstLessonButton = 101;  // 100 + n for group n
constexpr int kLessonBox = 200;
constexpr int kThirtyWords = 300;
constexpr int kQsos = 301;
constexpr int kMessage = 302;
constexpr int kFile = 303;
constexpr int kCharacterSpeed = 304;
constexpr int kWordSpeed = 305;
constexpr int kStraightKey = 306;
constexpr int kPaddleKey = 307;
constexpr int kPort = 309;
constexpr int kTone = 310;  // opens the tone screen
constexpr int kKochTrainer = 320;
constexpr int kProgress = 321;
constexpr int kSettingsBox = 207;
constexpr int kPracticeBox = 208;
constexpr int kCharacterSpeedLabel = 205;
constexpr int kWordSpeedLabel = 206;
constexpr int kPortLabel = 199;
}  // namespace menu

// What the speed rule did to the other list when one list changed from `before` to `after`:
// "Word speed lowered to 12", "Character speed raised to 20", or nothing.
std::string speedRuleNote(const SpeedSettings& before, const SpeedSettings& after);

class MenuWindow : public Screen {
  public:
    static constexpr int kWidth = 380;
    static constexpr int kHeight = 220;

    MenuWindow(App& app, const std::string& title, ExerciseEntries entries);

    int groupCount() const { return static_cast<int>(app_.tutor.data.lessonGroups.size()); }
    // The top of the practice row: 20 x groupCount + 40.
    int practiceY() const { return 20 * groupCount() + 40; }
    // The top of the row below the practice box: the Koch trainer and the progress.
    int progressY() const { return practiceY() + 48; }

  protected:
    // The settings group, last in creation order in both editions.
    void createSettings();
    // Black on the screen colour for the window and the controls 199 to groupCount + 210.
    void colourControls();
    // The window keeps its size unless controls lie beyond it: then it grows to show them. It
    // cannot be made smaller than that.
    void fitToControls();

    void initialise() override;
    void command(int id, int notification) override;

    App& app_;

  private:
    void showSpeeds();

    ExerciseEntries entries_;
    bool exerciseOpen_ = false;  // an exercise (or its port's message box) is up
};

}  // namespace keytut::ui
