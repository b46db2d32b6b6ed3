// Reading the learner's text files: the QSO files and any file named for sending.
//
// Only regular files are read. A name may stand for a folder, a FIFO or a device (a serial port,
// /dev/zero): opening a FIFO for reading waits for a writer and a device may never end, so the
// file is opened without waiting and its kind checked on the open descriptor before anything is
// read. Each fault ends in a message for the learner; nothing waits and nothing is lost.
//
// Lines may end in CR LF, LF or CR. A line longer than kMaxLineBytes (a file without line ends,
// for example) is cut into pieces of that length, so that one line never takes unbounded memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace keytut {

constexpr std::size_t kMaxLineBytes = std::size_t{1} << 20;

// Why a file the learner chose cannot be read: finer than the data files' FileFault, because the
// learner is told which (a folder, not a text file, ...).
enum class TextFileFault {
    None,
    Missing,     // no such file (or it went away)
    Folder,      // the name is a folder
    NotAFile,    // a FIFO, a device or a socket: never read
    Unreadable,  // no permission, or the system failed to read it
    TooLarge,    // larger than the reader takes
    Changed,     // rewritten while it was being read line by line: reading stopped
};

// The learner's message for a fault with the file called `name`, as shown or spoken; empty for
// TextFileFault::None.
std::string fileFaultMessage(TextFileFault fault, const std::string& name);

// Where the line that starts at `from` ends: the position of the next CR or LF, or the end.
std::size_t lineEnd(std::string_view bytes, std::size_t from);

// Cuts a stream of bytes into lines. Bytes are fed in pieces of any size (a line end may be split
// between two pieces: CR at the end of one, LF at the start of the next); finish() marks the end
// of the input, after which a last line without a line end is complete too.
class LineSplitter {
  public:
    explicit LineSplitter(std::size_t maxLine = kMaxLineBytes) : maxLine_(maxLine) {}

    void feed(std::string_view bytes);
    void finish();

    // The next complete line without its line end, oldest first; nothing when none is ready.
    std::optional<std::string> next();
    bool ready() const { return taken_ < lines_.size(); }

  private:
    void endLine();

    std::size_t maxLine_;
    std::string partial_;
    bool afterCr_ = false;   // the last byte fed was CR: a following LF belongs to it
    bool afterCut_ = false;  // the last byte fed filled a line that was cut there
    bool finished_ = false;
    // The complete lines, of which the first `taken_` have been handed out; emptied (keeping its
    // room) once all have been, so that a reader allocates nothing per line but the line.
    std::vector<std::string> lines_;
    std::size_t taken_ = 0;
};

// An open regular file, read one line at a time. Holds the file open until the end is reached,
// close() is called or the reader is destroyed.
//
// The lines are those of the file as it was opened: nothing past the size it had then is read,
// and a file that is rewritten in the meantime (its size or its modification time differ) is
// read no further, rather than read on from the same place in its new contents.
class LineReader {
  public:
    LineReader() = default;
    ~LineReader();
    LineReader(LineReader&& other) noexcept;
    LineReader& operator=(LineReader&& other) noexcept;
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // Opens `path` if it is a regular file that can be read; otherwise closes and says why.
    TextFileFault open(const std::filesystem::path& path);

    // The next line, or nothing at the end of the file (the file is then closed). A read error
    // in the middle of the file ends it like the end of the file; a file rewritten meanwhile
    // ends there too, and fault() then says Changed.
    std::optional<std::string> nextLine();

    void close();
    bool isOpen() const { return fd_ >= 0; }
    // Why reading ended early (Changed), or None.
    TextFileFault fault() const { return fault_; }

  private:
    bool changedSinceOpened() const;

    int fd_ = -1;
    LineSplitter splitter_;
    TextFileFault fault_ = TextFileFault::None;
    // The file as it was opened: its size and modification time, and how much of it was read.
    std::uint64_t size_ = 0;
    std::int64_t modifiedNs_ = 0;
    std::uint64_t read_ = 0;
};

// Opens `path` without waiting and checks that it is a regular file. Returns the open descriptor
// (the caller closes it) or -1 with the fault.
int openRegularFile(const std::filesystem::path& path, TextFileFault& fault);

struct FileContents {
    TextFileFault fault = TextFileFault::None;
    std::string bytes;
};

// Reads a regular file whole; one of more than `maxBytes` is refused (TooLarge) and not read.
FileContents readRegularFile(const std::filesystem::path& path, std::size_t maxBytes);

}  // namespace keytut
