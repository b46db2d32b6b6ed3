// Earkey's file sending: the learner types a file's name and presses Return; the file is sent
// line by line, each line listed once heard, and at its end the focus moves to the list so that
// the screen reader can read the lines back.
#pragma once

#include "exercises/file_sending.h"
#include "platform/ui/exercise_screen.h"

namespace earkey {

namespace file {
constexpr int kList = 103;
constexpr int kNameLabel = 104;
constexpr int kNameBox = 105;
constexpr int kWidth = 290;
constexpr int kHeight = 260;
// What the screen reader calls the list of the lines sent, before the line it is on.
inline const char* const kListName = "Lines sent";
}  // namespace file

class FileScreen : public keytut::ui::ExerciseScreen {
    Q_OBJECT
  public:
    explicit FileScreen(keytut::ui::App& app);

    // Beeps for names that found no file, since the window opened.
    int beeps() const { return beeps_; }

  protected:
    void command(int id, int notification) override;
    void sendDone() override;

  private:
    void show(const keytut::FileUpdate& update);

    keytut::FileSending sending_{0};
    int beeps_ = 0;
    int firstLineOfFile_ = 0;  // the list entry of the first line of the file being sent
};

}  // namespace earkey
