// Earkey's QSO practice: whole QSOs from the chosen file, one per Return, read back line by line
// with Ctrl+Up and Ctrl+Down, prosigns spelled out for the screen reader.
#pragma once

#include "exercises/qso_practice.h"
#include "platform/ui/exercise_screen.h"

namespace earkey {

namespace qso {
constexpr int kLineBox = 100;
constexpr int kInstructions = 101;
constexpr int kFileLabel = 104;
constexpr int kFileList = 105;
constexpr int kWidth = 320;
constexpr int kHeight = 220;
// What the screen reader calls the line box, before its line.
inline const char* const kLineBoxName = "Q S O line";
}  // namespace qso

class QsoScreen : public keytut::ui::ExerciseScreen {
    Q_OBJECT
  public:
    explicit QsoScreen(keytut::ui::App& app);

    const keytut::WholeQsos& qsos() const { return qsos_; }

  protected:
    void cancelled() override;
    void sendDone() override;
    void initialise() override;

  private:
    void loadChosenFile();
    void show(const keytut::QsoUpdate& update);

    keytut::WholeQsos qsos_;
};

}  // namespace earkey
