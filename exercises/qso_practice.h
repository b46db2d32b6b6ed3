// QSO practice: sample radio conversations from the QSO files, played in Morse.
//
// Earkey plays one whole QSO (a start line holding "+" and the lines up to the next start line)
// per Return and lets the learner read it back line by line, prosigns spelled out for the screen
// reader. Keyview plays runs: from a random start line, line by line, to the line that ends the
// over ("KN" at its very end, or "!"), then starts another run by itself until Stop.
//
// The screens map their keys, buttons and posted messages onto WholeQsos' and QsoRuns' events and
// apply the update each returns; the text to send is in the update, the screen starts it.
#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/data_files.h"
#include "core/random.h"
#include "review_list.h"
#include "text_file.h"

namespace keytut {

// A larger file is refused, as an over-large word list is ("File NAME too large (over 16 MB)"):
// no QSO file comes near it, and reading it would hold the window up.
constexpr std::size_t kMaxQsoFileBytes = kMaxDataFileBytes;
// Earkey's line box shows at most this many characters of a line (a line of a megabyte would
// hold the window up while it is laid out).
constexpr std::size_t kMaxShownLine = 1000;
// Keyview's list keeps this many of its last lines in view.
constexpr int kQsoListLinesInView = 32;

struct QsoFile {
    std::string name;                 // empty: no file is loaded
    std::vector<std::string> lines;   // the non-empty lines, in file order
    std::vector<std::size_t> starts;  // indices in `lines` of the start lines

    std::size_t qsoCount() const { return starts.size(); }
    // QSO k (0-based): its start line and the lines up to the next start line, joined by CR LF.
    // Lines before the first start line belong to no QSO.
    std::string qsoText(std::size_t k) const;
};

// Cuts a file's bytes into its non-empty lines and finds the start lines (lines holding "+").
QsoFile parseQsoFile(std::string_view bytes);

struct QsoLoad {
    QsoFile file;
    std::string message;  // why the file could not be read; empty when it was
};
// Reads the QSO file `name` from `folder`. An empty name loads nothing and says nothing (no QSO
// file is listed). A file that cannot be read loads as a file without QSOs, with the message.
QsoLoad loadQsoFile(const std::filesystem::path& folder, const std::string& name);

// The text a screen reader pronounces for a QSO line: "+" becomes " C T ", "@" " A R ",
// "!" " V A ", "=" " B T " and "/" " slash ".
std::string qsoDisplayText(std::string_view line);

// The file list's order: alphabetical, whatever the case of the names.
std::vector<std::string> sortedQsoFiles(std::vector<std::string> names);

// Whether a line ends a Keyview run: it holds "!" or its last two characters are "KN".
bool endsOver(std::string_view line);

// A list box that keeps its last `inView` lines in view as lines are added at its end.
class ListTail {
  public:
    explicit ListTail(int inView) : inView_(inView) {}
    // A line was added: the entry (0-based) to make the top of the list, once the list holds
    // more lines than are in view.
    std::optional<int> add();
    int lines() const { return lines_; }

  private:
    int inView_;
    int lines_ = 0;
};

inline constexpr std::string_view kEarkeyQsoCaption = "Send practice Q S Ohs";
inline constexpr std::string_view kEarkeyQsoInstructions =
    "Enter to send a Q S O,  Escape to exit.\r\n"
    "When finished use cursor keys to read the list";
inline constexpr std::string_view kEarkeyQsoFileLabel = "&Q S O File";
inline constexpr std::string_view kEarkeyNoQsoFile = "No Q S O file found";
inline constexpr std::string_view kEarkeyNoQsos = "No Q S Os in this file";

inline constexpr std::string_view kKeyviewQsoCaption = "Send QSOs";
inline constexpr std::string_view kKeyviewQsoFileLabel = "QSO File:";
inline constexpr std::string_view kKeyviewNoQsoFile = "No QSO file found";
inline constexpr std::string_view kKeyviewNoStartLine = "No QSO start line (+) in this file";

// What an Earkey QSO event asks of the screen, in this order: the line box's new text, then the
// focus. The text to send has been chosen; the screen starts it.
struct QsoUpdate {
    bool acted = false;                  // false: the event means nothing now
    std::optional<std::string> send;     // start sending this text
    std::optional<std::string> lineBox;  // the line box's new text ("" empties it)
    bool speakLineBox = false;           // the screen reader says the line box's text now
    bool focusLineBox = false;           // the focus goes to the line box
};

// Earkey: whole QSOs, never the same one twice running, read back with Ctrl+Up and Ctrl+Down.
class WholeQsos {
  public:
    // A newly chosen file: no QSO of it has been sent yet.
    void load(QsoFile file);
    const QsoFile& file() const { return file_; }

    // Return: sends a QSO chosen at random other than the last one sent (with one QSO, that one
    // again); with none, says so and sends nothing.
    QsoUpdate sendQso(Random& random);
    // Ctrl+Up / Ctrl+Down: the previous / next line of the QSO last sent.
    QsoUpdate lineUp();
    QsoUpdate lineDown();
    // The QSO has been sent: the focus goes to the emptied line box, ready for Ctrl+Down. The end
    // of anything else (a text of another screen) means nothing.
    QsoUpdate sendDone();

    int lastQso() const { return lastQso_; }  // 1-based; 0: none since the file was loaded
    int shownLine() const { return review_.index(); }

  private:
    QsoUpdate showLine(bool moved) const;

    QsoFile file_;
    int lastQso_ = 0;
    ReviewList review_;     // the display lines of the QSO last sent, the first 30
    bool sending_ = false;  // a QSO is being sent: its end moves the focus
};

// What a Keyview QSO event asks of the screen.
struct QsoRunUpdate {
    bool acted = false;
    std::optional<std::string> send;     // start sending this text
    std::optional<std::string> addLine;  // add this line at the end of the list
    std::optional<int> topIndex;         // then make this entry the list's top one
    bool restart = false;                // post the restart to the window (restart() below)
};

// Keyview: runs from a random start line to the line that ends the over.
class QsoRuns {
  public:
    // A newly chosen file. A run that is playing goes on to its end in the file it began in, and
    // no run follows it by itself.
    void load(QsoFile file);
    const QsoFile& file() const { return *file_; }

    // Start: a new run at once. With no start line in the file, says so and sends nothing.
    QsoRunUpdate start(Random& random);
    // The restart posted at the end of a run: a new run unless Stop was pressed (or another file
    // chosen) in the meantime.
    QsoRunUpdate restart(Random& random);
    // Stop: the run that is playing ends at its last line; no run follows.
    void stop() { stopRequested_ = true; }
    // A line has been played: it goes into the list; then the next line, or the end of the run
    // (at its over's last line, or at the end of the file).
    QsoRunUpdate lineSent();

    bool running() const { return running_; }
    bool stopRequested() const { return stopRequested_; }

  private:
    QsoRunUpdate addToList(std::string line);
    QsoRunUpdate sendLine();

    std::shared_ptr<const QsoFile> file_ = std::make_shared<const QsoFile>();
    std::shared_ptr<const QsoFile> runFile_;  // the file of the run that is playing
    std::size_t linePos_ = 0;
    bool running_ = false;
    bool stopRequested_ = false;
    ListTail list_{kQsoListLinesInView};
};

}  // namespace keytut
