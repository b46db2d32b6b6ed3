// Keyview's file sending: a file named in the box is sent line by line from Start, each line
// listed once heard, the list keeping its last lines in view.
#pragma once

#include "exercises/file_sending.h"
#include "platform/ui/exercise_screen.h"

namespace keyview {

namespace file {
constexpr int kStart = 101;
constexpr int kExit = 2;
constexpr int kList = 103;
constexpr int kNameLabel = 104;
constexpr int kNameBox = 105;
constexpr int kWidth = 290;
constexpr int kHeight = 260;
}  // namespace file

class FileScreen : public keytut::ui::ExerciseScreen {
    Q_OBJECT
  public:
    explicit FileScreen(keytut::ui::App& app);

    // Beeps for names that found no file, since the window opened.
    int beeps() const { return beeps_; }

  protected:
    void cancelled() override;
    void sendDone() override;

  private:
    void show(const keytut::FileUpdate& update);

    keytut::FileSending sending_{keytut::kFileListLinesInView};
    int beeps_ = 0;
};

}  // namespace keyview
