// File sending: the learner types a file's name and starts it (Return in Earkey, Start in
// Keyview); the file is sent line by line, each line listed once heard. Keyview's list keeps its
// last lines in view; in Earkey the focus moves to the list at the end of a file, on its first
// line, so that the screen reader can read the lines back.
#pragma once

#include <vector>

#include "exercises/file_sending.h"
#include "laid_out_screen.h"

namespace keytut::ui {

// The ids both editions give the list of the lines sent, the name's label and the name box.
namespace file_ids {
constexpr int kList = 103;
constexpr int kNameLabel = 104;
constexpr int kNameBox = 105;
}  // namespace file_ids

struct FileLayout : ScreenLayout {
    int nameBox = 0;
    int list = 0;
    // What starts the file named in the box: a key, wherever the focus is (Qt::Key_Return); a
    // button; 0: none.
    int startKey = 0;
    int startButton = 0;
    // The list keeps this many of its last lines in view; 0: the list is left alone.
    int linesInView = 0;
    // Whether the end of a file moves the focus to the list, on the file's first line.
    bool readBackAtEnd = false;
};

// The file screen as both editions lay it out: the name box under its label at the top, the list
// of the lines sent below, and `between` them in tab order the edition's own controls. The screen
// opens in the name box.
FileLayout sendFileLayout(unsigned nameBoxStyle, unsigned listStyle,
                          std::vector<ControlSpec> between = {});

class FileScreen : public LaidOutScreen {
    Q_OBJECT
  public:
    FileScreen(App& app, const FileLayout& layout);

    // Beeps for names that found no file, since the window opened.
    int beeps() const { return beeps_; }

  protected:
    void cancelled() override;
    void sendDone() override;

  private:
    void show(const FileUpdate& update);
    // Sends the file named in the box, or says why it cannot.
    void startFile();

    const FileLayout layout_;
    QWidget* const nameBox_;
    QListWidget* const list_;
    FileSending sending_;
    int beeps_ = 0;
    int firstLineOfFile_ = 0;  // the list entry of the first line of the file being sent
};

}  // namespace keytut::ui
