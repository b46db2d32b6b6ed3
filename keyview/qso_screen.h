// Keyview's QSO practice: runs of lines from a random start line to the end of the over, one
// after another until Stop, each line listed once it has been heard.
#pragma once

#include "exercises/qso_practice.h"
#include "platform/ui/exercise_screen.h"

namespace keyview {

namespace qso {
constexpr int kStart = 101;
constexpr int kStop = 102;
constexpr int kExit = 2;
constexpr int kList = 103;
constexpr int kFileLabel = 104;
constexpr int kFileList = 105;
constexpr int kWidth = 310;
constexpr int kHeight = 260;
}  // namespace qso

class QsoScreen : public keytut::ui::ExerciseScreen {
    Q_OBJECT
  public:
    explicit QsoScreen(keytut::ui::App& app);

    const keytut::QsoRuns& runs() const { return runs_; }

  protected:
    void cancelled() override;
    void sendDone() override;

  private:
    void loadChosenFile();
    void show(const keytut::QsoRunUpdate& update);

    keytut::QsoRuns runs_;
};

}  // namespace keyview
