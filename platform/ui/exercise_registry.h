// Every exercise and setting screen the main windows open, listed once: its button's captions in
// each edition, where the button stands, and what opens it. Both main windows build their
// practice and settings buttons from this list, in its order (which is also the tab order), so
// that a new exercise is one entry here plus its screens.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace keytut::ui {

class App;

// The group of the main window a button stands in.
enum class ButtonGroup {
    Practice,  // the grid of practice buttons below the lessons
    Settings,  // the settings group, below the port box
};

// An entry, written with designated initialisers so that no caption or place can be given to
// the wrong field.
struct ExerciseButton {
    // What the editions' openers know the exercise by.
    std::string name{};
    // The button's control id in both editions; a Keyview description takes descriptionId.
    int id = 0;
    // Earkey's caption (no mnemonic: the learner reaches it with Tab) and Keyview's, whose '&'
    // marks its mnemonic; Keyview writes `description` beside a practice button.
    std::string earkeyCaption{};
    std::string keyviewCaption{};
    std::string description{};
    int descriptionId = 0;
    ButtonGroup group = ButtonGroup::Practice;
    // Practice: the grid cell; columns are 125 units apart from x 15, rows 18 units apart from
    // the top of the practice row. A row below the second makes the practice group taller.
    int column = 0;
    int row = 0;
    // Settings: the place in dialog units.
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    // Opens the screen the same way in both editions; empty: each edition gives its own opener
    // under `name` (ExerciseOpeners).
    std::function<void(App&)> open{};
};

// What each edition opens: the lesson of group n (1-based) and the exercises by name. A button
// with no opener starts nothing.
struct ExerciseOpeners {
    std::function<void(int)> lesson;
    std::map<std::string, std::function<void()>> byName;
};

// The names the described exercises go by.
namespace exercise {
inline const char* const kThirtyWords = "30 word test";
inline const char* const kQsos = "QSOs";
inline const char* const kMessage = "Message";
inline const char* const kFile = "File";
inline const char* const kStraightKey = "Straight Key";
inline const char* const kPaddleKey = "Paddle Key";
inline const char* const kTone = "Tone";
inline const char* const kKey = "Key";
inline const char* const kKochTrainer = "Koch Trainer";
inline const char* const kProgress = "Progress";
}  // namespace exercise

// The described exercises and settings, then those added since, in tab order.
const std::vector<ExerciseButton>& exerciseRegistry();

}  // namespace keytut::ui
