// What the main windows of both editions share: the practice and settings buttons built from
// the exercise registry, the speed and port settings, the colours, the opening of exercises and
// the end of the program.
#pragma once

#include <string>
#include <vector>

#include "app.h"
#include "exercise_registry.h"
#include "screen.h"

class QComboBox;
class QLineEdit;

namespace keytut::ui {

// An edition's main window: its title, and how it shows the lesson buttons and the registry's
// buttons.
struct MenuLayout {
    std::string title{};
    std::string ExerciseButton::*caption = &ExerciseButton::earkeyCaption;
    int practiceWidth = 80;     // of a practice button
    bool descriptions = false;  // each practice button's description written beside it
    // The caption of lesson button n (1-based) of `count`, which opens `group`.
    std::string (*lessonCaption)(const std::string& group, int n, int count) = nullptr;
    int lessonWidth = 100;
    bool groupsBeside = false;  // each lesson group's characters written beside its button
    // The first lesson button is the default button and has the focus as the window opens.
    bool startOnFirstLesson = false;
};

namespace menu {
constexpr int kFirstLessonButton = 101;  // 100 + n for group n
constexpr int kFirstGroupLabel = 211;    // 210 + n: group n's characters, beside its button
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
constexpr int kKey = 315;   // opens the key screen of the port number in the port box
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

    // `registry` lists the buttons of the practice and settings groups, in tab order.
    MenuWindow(App& app, const MenuLayout& layout, ExerciseOpeners openers,
               std::vector<ExerciseButton> registry = exerciseRegistry());

    int groupCount() const { return static_cast<int>(app_.tutor.data.lessonGroups.size()); }
    // The top of the practice row: 20 x groupCount + 40.
    int practiceY() const { return 20 * groupCount() + 40; }

  protected:
    void initialise() override;
    void cancelled() override;

  private:
    // Opens lesson group n (1-based), as a lesson button does.
    void openLesson(int n);
    // One button per lesson group, in the group's order.
    void createLessons();
    // After the lesson buttons: the lesson group box, the practice buttons and their group, the
    // settings group; then the colours and the size.
    void createGroups();
    void createPractice();
    // The settings group, last in creation order in both editions.
    void createSettings();
    // Black on the screen colour for the window, its labels and group boxes.
    void colourControls();
    // The window keeps its size unless controls lie beyond it: then it grows to show them. It
    // cannot be made smaller than that.
    void fitToControls();
    // One exercise at a time, and one press one exercise: a press that reaches the window while
    // an exercise it started is still open (its screen, or the message box of a port that cannot
    // be opened) starts nothing more.
    void open(const std::function<void()>& opener);
    void open(const ExerciseButton& button);
    void showSpeeds();
    // A choice in the character or word speed list, with the rule between them.
    void chooseSpeed(QWidget* list, int index);
    // What the Comm Port box holds, as the settings keep it.
    void keepPort();

    App& app_;
    const MenuLayout layout_;
    QWidget* firstLesson_ = nullptr;  // none without lesson groups
    QComboBox* characterSpeed_ = nullptr;
    QComboBox* wordSpeed_ = nullptr;
    QLineEdit* port_ = nullptr;
    ExerciseOpeners openers_;
    std::vector<ExerciseButton> registry_;
    bool exerciseOpen_ = false;  // an exercise (or its port's message box) is up
};

}  // namespace keytut::ui
