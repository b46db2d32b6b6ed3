#include "text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "core/data_files.h"

namespace keytut {

std::string fileFaultMessage(TextFileFault fault, const std::string& name) {
    switch (fault) {
        case TextFileFault::None:
            return {};
        case TextFileFault::Missing:
            return "File " + name + " missing";
        case TextFileFault::Folder:
            return name + " is a folder, not a file";
        case TextFileFault::NotAFile:
            return name + " is not a text file";
        case TextFileFault::Unreadable:
            return "Can't read file " + name;
        case TextFileFault::TooLarge:
            return dataFileMessage(name, FileFault::TooLarge);
        case TextFileFault::Changed:
            return "File " + name + " was changed while it was sent; sending stopped";
    }
    return {};
}

std::size_t lineEnd(std::string_view bytes, std::size_t from) {
    // A plain loop: find_first_of looks each byte up in the set with a call of its own.
    while (from < bytes.size() && bytes[from] != '\r' && bytes[from] != '\n')
        ++from;
    return from;
}

void LineSplitter::feed(std::string_view bytes) {
    std::size_t at = 0;
    while (at < bytes.size()) {
        const char c = bytes[at];
        if (afterCr_) {
            afterCr_ = false;
            if (c == '\n') {
                ++at;
                continue;
            }
        }
        if (c == '\r' || c == '\n') {
            // A line end straight after a cut ends the piece already cut, not another line.
            if (!std::exchange(afterCut_, false))
                endLine();
            afterCr_ = c == '\r';
            ++at;
            continue;
        }
        // The bytes up to the next line end, as far as the line may grow.
        const std::size_t end = lineEnd(bytes, at);
        const std::size_t take = std::min(end - at, maxLine_ - partial_.size());
        afterCut_ = false;
        partial_.append(bytes.substr(at, take));
        at += take;
        if (partial_.size() >= maxLine_) {
            endLine();
            afterCut_ = true;
        }
    }
}

void LineSplitter::finish() {
    if (finished_)
        return;
    finished_ = true;
    if (!partial_.empty())
        endLine();
}

void LineSplitter::endLine() {
    lines_.push_back(std::move(partial_));
    partial_.clear();
}

std::optional<std::string> LineSplitter::next() {
    if (!ready())
        return std::nullopt;
    std::string line = std::move(lines_[taken_++]);
    if (taken_ == lines_.size()) {
        lines_.clear();
        taken_ = 0;
    }
    return line;
}

int openRegularFile(const std::filesystem::path& path, TextFileFault& fault) {
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer, and a terminal
    // for its carrier.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        fault = (errno == ENOENT || errno == ENOTDIR) ? TextFileFault::Missing
                : errno == EISDIR                     ? TextFileFault::Folder
                                                      : TextFileFault::Unreadable;
        return -1;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        fault = S_ISDIR(status.st_mode) ? TextFileFault::Folder : TextFileFault::NotAFile;
        ::close(fd);
        return -1;
    }
    // Reads of a regular file never wait; drop the flag anyway so that none ever returns EAGAIN.
    int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    fault = TextFileFault::None;
    return fd;
}

LineReader::~LineReader() {
    close();
}

LineReader::LineReader(LineReader&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), splitter_(std::move(other.splitter_)) {}

LineReader& LineReader::operator=(LineReader&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = std::exchange(other.fd_, -1);
        splitter_ = std::move(other.splitter_);
    }
    return *this;
}

namespace {

std::int64_t modifiedNs(const struct stat& status) {
    return static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1'000'000'000 +
           status.st_mtim.tv_nsec;
}

// Reads of a file are made in pieces of this size.
constexpr std::size_t kChunkBytes = 65536;

}  // namespace

TextFileFault LineReader::open(const std::filesystem::path& path) {
    close();
    splitter_ = LineSplitter{};
    fault_ = TextFileFault::None;
    read_ = 0;
    TextFileFault fault = TextFileFault::None;
    fd_ = openRegularFile(path, fault);
    struct stat status {};
    if (fd_ >= 0 && ::fstat(fd_, &status) == 0) {
        size_ = static_cast<std::uint64_t>(status.st_size);
        modifiedNs_ = modifiedNs(status);
    }
    return fault;
}

bool LineReader::changedSinceOpened() const {
    struct stat status {};
    if (::fstat(fd_, &status) != 0)
        return true;
    return static_cast<std::uint64_t>(status.st_size) != size_ || modifiedNs(status) != modifiedNs_;
}

void LineReader::close() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

std::optional<std::string> LineReader::nextLine() {
    while (!splitter_.ready() && fd_ >= 0) {
        // Not a byte past the end the file had when it was opened: what was written there since
        // is no part of it.
        if (read_ >= size_) {
            splitter_.finish();
            close();
            break;
        }
        // A file rewritten since would go on with its new contents from the old place: a
        // splice. It is read no further; a piece read while it changed is dropped too.
        if (changedSinceOpened()) {
            fault_ = TextFileFault::Changed;
            splitter_ = LineSplitter{};
            close();
            break;
        }
        char chunk[kChunkBytes];
        const std::size_t want = std::min<std::uint64_t>(sizeof chunk, size_ - read_);
        ssize_t n = ::read(fd_, chunk, want);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            splitter_.finish();
            close();
            break;
        }
        if (changedSinceOpened())
            continue;
        read_ += static_cast<std::uint64_t>(n);
        splitter_.feed(std::string_view(chunk, static_cast<std::size_t>(n)));
    }
    auto line = splitter_.next();
    if (!line)
        close();
    return line;
}

FileContents readRegularFile(const std::filesystem::path& path, std::size_t maxBytes) {
    FileContents contents;
    int fd = openRegularFile(path, contents.fault);
    if (fd < 0)
        return contents;
    struct stat status {};
    if (::fstat(fd, &status) == 0 && static_cast<std::uintmax_t>(status.st_size) > maxBytes) {
        ::close(fd);
        contents.fault = TextFileFault::TooLarge;
        return contents;
    }
    // One byte more than the limit is asked for: a file that grew past it is refused too.
    char chunk[kChunkBytes];
    while (contents.bytes.size() <= maxBytes) {
        ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            contents.fault = TextFileFault::Unreadable;
            break;
        }
        if (n == 0)
            break;
        contents.bytes.append(chunk, static_cast<std::size_t>(n));
    }
    if (contents.fault == TextFileFault::None && contents.bytes.size() > maxBytes)
        contents.fault = TextFileFault::TooLarge;
    if (contents.fault != TextFileFault::None)
        contents.bytes.clear();
    ::close(fd);
    return contents;
}

}  // namespace keytut
