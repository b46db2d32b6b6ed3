// QSO practice: sample radio conversations from the QSO file chosen in the file list, which loads
// a file as soon as the learner moves to it. Earkey sends one whole QSO per Return and reads it
// back line by line with Ctrl+Up and Ctrl+Down in a box the screen reader speaks, prosigns
// spelled out; Keyview sends runs of lines from Start until Stop, each line listed once heard.
// Escape (or Exit) stops the sound.
#pragma once

#include <variant>

#include "exercises/qso_practice.h"
#include "laid_out_screen.h"

namespace keytut::ui {

// The ids both editions give the list of QSO files and its label.
namespace qso_ids {
constexpr int kFileLabel = 104;
constexpr int kFileList = 105;
}  // namespace qso_ids

enum class QsoPractice {
    WholeQsos,  // WholeQsos: one QSO per send, read back in the line box
    Runs,       // QsoRuns: runs of lines, one after another, listed as heard
};

struct QsoLayout : ScreenLayout {
    QsoPractice practice = QsoPractice::WholeQsos;
    // The QSO files, alphabetical: a list box, whose moves load the file, or a drop-down list,
    // which loads the entry the learner moves to in its open list or chooses.
    int fileList = 0;
    // Whole QSOs: the key that sends one, wherever the focus is; Ctrl+Up and Ctrl+Down read the
    // last one back in the line box (a ControlKind::SpokenText, black on white), where a file
    // that cannot be read is spoken too.
    int sendKey = 0;
    int lineBox = 0;
    // Runs: the list of the lines heard, and the buttons that start runs and stop them. A file
    // that cannot be read is shown in a message box.
    int list = 0;
    int startButton = 0;
    int stopButton = 0;
};

class QsoScreen : public LaidOutScreen {
    Q_OBJECT
  public:
    QsoScreen(App& app, const QsoLayout& layout);

    // The practice of the layout: whole QSOs, or runs.
    const WholeQsos& qsos() const { return std::get<WholeQsos>(practice_); }
    const QsoRuns& runs() const { return std::get<QsoRuns>(practice_); }

  protected:
    void cancelled() override;
    void sendDone() override;
    void initialise() override;

  private:
    void loadChosenFile();
    const QsoFile& loadedFile() const;
    void show(const QsoUpdate& update);
    void show(const QsoRunUpdate& update);

    const QsoLayout layout_;
    QWidget* const fileList_;
    QWidget* const lineBox_;   // Earkey's, spoken
    QListWidget* const list_;  // Keyview's, of the lines heard
    std::variant<WholeQsos, QsoRuns> practice_;
};

}  // namespace keytut::ui
