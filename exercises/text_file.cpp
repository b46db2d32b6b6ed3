#include "text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <utility>

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
    }
    return {};
}

void LineSplitter::feed(std::string_view bytes) {
    for (char c : bytes) {
        if (afterCr_) {
            afterCr_ = false;
            if (c == '\n')
                continue;
        }
        if (c == '\r' || c == '\n') {
            // A line end straight after a cut ends the piece already cut, not another line.
            if (!std::exchange(afterCut_, false))
                endLine();
            afterCr_ = c == '\r';
        } else {
            afterCut_ = false;
            partial_ += c;
            if (partial_.size() >= maxLine_) {
                endLine();
                afterCut_ = true;
            }
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
    if (lines_.empty())
        return std::nullopt;
    std::string line = std::move(lines_.front());
    lines_.pop_front();
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

TextFileFault LineReader::open(const std::filesystem::path& path) {
    close();
    splitter_ = LineSplitter{};
    TextFileFault fault = TextFileFault::None;
    fd_ = openRegularFile(path, fault);
    return fault;
}

void LineReader::close() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

std::optional<std::string> LineReader::nextLine() {
    std::array<char, 65536> chunk{};
    while (!splitter_.ready() && fd_ >= 0) {
        ssize_t n = ::read(fd_, chunk.data(), chunk.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            splitter_.finish();
            close();
            break;
        }
        splitter_.feed(std::string_view(chunk.data(), static_cast<std::size_t>(n)));
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
    std::array<char, 65536> chunk{};
    while (contents.bytes.size() < maxBytes) {
        std::size_t want = std::min(chunk.size(), maxBytes - contents.bytes.size());
        ssize_t n = ::read(fd, chunk.data(), want);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            contents.fault = TextFileFault::Unreadable;
            contents.bytes.clear();
            break;
        }
        if (n == 0)
            break;
        contents.bytes.append(chunk.data(), static_cast<std::size_t>(n));
    }
    if (contents.fault == TextFileFault::None && contents.bytes.size() == maxBytes) {
        char probe = 0;
        contents.cut = ::read(fd, &probe, 1) > 0;
    }
    ::close(fd);
    return contents;
}

}  // namespace keytut
