// The tone screen, opened with the Tone button of either main window: the pitch and the edges of
// the Morse and of the key screens' side-tone, each a list whose value the screen reader says with
// the focus and at every change (Earkey: Tab and the cursor keys; Keyview: the same lists with the
// mouse). A choice applies at once, from the next character sent, and is kept with the other
// settings. Try plays a word with the tone chosen; Close, Return or Escape goes back.
#pragma once

#include <string>
#include <vector>

#include "exercise_screen.h"

class QComboBox;
class QPushButton;

namespace keytut::ui {

namespace tone {
constexpr int kPitchLabel = 100;
constexpr int kPitch = 101;
constexpr int kEdgesLabel = 102;
constexpr int kEdges = 103;
constexpr int kTry = 104;
constexpr int kClose = 105;
constexpr int kWidth = 150;
constexpr int kHeight = 70;
}  // namespace tone

inline const char* const kToneTitle = "Tone";
// What Try sends.
inline const char* const kToneTryText = "PARIS";

// The pitch list's entries, "400 Hz" to "1000 Hz", and the edges list's, "Hard" and "Soft".
std::vector<std::string> pitchChoices();
std::vector<std::string> edgeChoices();

class ToneScreen : public ExerciseScreen {
    Q_OBJECT
  public:
    explicit ToneScreen(App& app);

  protected:
    void cancelled() override { close(); }
    void returnPressed() override { close(); }

  private:
    // A choice in the pitch or the edges list, applied at once and kept.
    void choosePitch(int index);
    void chooseEdges(int index);
    void keep(const ToneSettings& chosen);
    void close();

    QComboBox* pitch_ = nullptr;
    QComboBox* edges_ = nullptr;
    QPushButton* try_ = nullptr;
    QPushButton* close_ = nullptr;
};

// Builds the screen, runs it modally and returns when it has closed.
void toneScreen(App& app);

}  // namespace keytut::ui
