// Opening a file for reading. Only a regular file is opened: a FIFO, a device or a folder that
// carries a data file's name would otherwise block the program on open() or read() (a FIFO with
// no writer never answers) or feed it an endless stream. Every reader of the tutor's files goes
// through here.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace keytut {

enum class FileFault {
    None,
    Missing,     // no such file, or not a regular file (a FIFO, a device, a folder)
    TooLarge,    // larger than the reader accepts
    Unreadable,  // there, but it cannot be opened or read (permissions, an I/O error)
};

// An open regular file, closed when the object goes.
class ReadableFile {
  public:
    // Opens `path` if it is a regular file of at most `maxBytes` bytes. The check is made on the
    // opened file itself, so that nothing swapped in between can slip through, and the open
    // never waits (a FIFO is refused, not opened).
    ReadableFile(const std::filesystem::path& path, std::uintmax_t maxBytes);
    ~ReadableFile();
    ReadableFile(const ReadableFile&) = delete;
    ReadableFile& operator=(const ReadableFile&) = delete;

    explicit operator bool() const { return fault_ == FileFault::None; }
    FileFault fault() const { return fault_; }
    std::uintmax_t size() const { return size_; }

    // The whole file, or nothing when reading fails (fault() then says Unreadable).
    std::optional<std::string> readAll();
    // Hands the descriptor over (to a library that reads it and closes it); -1 if not open.
    int release();

  private:
    int fd_ = -1;
    std::uintmax_t size_ = 0;
    FileFault fault_ = FileFault::Missing;
};

// No limit beyond what the reader itself bounds.
constexpr std::uintmax_t kAnySize = UINTMAX_MAX;

}  // namespace keytut
