// File sending: a text file named by the learner is sent line by line, and each line is added to
// a list once it has been heard, so that the learner can check the copy afterwards.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "qso_practice.h"
#include "text_file.h"

namespace keytut {

// Keyview's list keeps this many of its last lines in view.
constexpr int kFileListLinesInView = 29;

inline constexpr std::string_view kSendFileCaption = "Send a File";
inline constexpr std::string_view kSendFileLabel = "File:";

// The file a name typed into the name box stands for: a name holding a path is taken as it
// stands (relative to `folder`), a plain name is looked for in `folder`. Where no file has
// exactly that name, a file whose name differs only in case is taken (the first in sorted
// order). Nothing when no entry of that name exists; a folder or a FIFO is found (and refused
// when opened).
std::optional<std::filesystem::path> findSendFile(const std::filesystem::path& folder,
                                                  const std::string& name);

// What a file-sending event asks of the screen, in this order.
struct FileUpdate {
    bool acted = false;
    bool beep = false;                   // no file of that name: the default beep
    std::optional<std::string> message;  // the file is missing, cannot be read, or changed
                                         // while it was sent: tell the learner
    std::optional<std::string> send;     // start sending this text
    std::optional<std::string> addLine;  // add this line at the end of the list
    std::optional<int> topIndex;         // then make this entry the list's top one
    bool finished = false;               // the end of the file was reached (Earkey: focus to
                                         // the list, for the screen reader to read it)
};

class FileSending {
  public:
    // `linesInView`: the list keeps its last lines in view (Keyview); 0: the list is left alone.
    explicit FileSending(int linesInView) : list_(linesInView > 0 ? linesInView : 1 << 30) {}

    // Return / Start with the name box's text. A file being sent is closed before the new one is
    // opened; a name that finds no file beeps and says the file is missing, and changes nothing
    // else (the file being sent goes on).
    FileUpdate start(const std::filesystem::path& folder, const std::string& name);
    // A line has been sent: it goes into the list, then the next line is sent.
    FileUpdate lineSent();
    // The window closes.
    void close();

    bool fileOpen() const { return reader_.isOpen(); }
    bool sending() const { return current_.has_value(); }

  private:
    FileUpdate sendNextLine(FileUpdate update);

    LineReader reader_;
    std::string name_;                    // of the file being read, as typed
    std::optional<std::string> current_;  // the line being sent, with its blank
    ListTail list_;
};

}  // namespace keytut
