#include "readable_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace keytut {

ReadableFile::ReadableFile(const std::filesystem::path& path, std::uintmax_t maxBytes) {
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer, forever.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        fault_ = (errno == ENOENT || errno == ENOTDIR || errno == ENXIO) ? FileFault::Missing
                                                                         : FileFault::Unreadable;
        return;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        ::close(fd);
        fault_ = FileFault::Unreadable;
        return;
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        fault_ = FileFault::Missing;
        return;
    }
    size_ = static_cast<std::uintmax_t>(st.st_size);
    if (size_ > maxBytes) {
        ::close(fd);
        fault_ = FileFault::TooLarge;
        return;
    }
    // A regular file never blocks, but readers expect ordinary blocking reads.
    int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    fd_ = fd;
    fault_ = FileFault::None;
}

ReadableFile::~ReadableFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

std::optional<std::string> ReadableFile::readAll() {
    if (fd_ < 0)
        return std::nullopt;
    std::string contents;
    // The size is a hint: the file may have grown or shrunk since it was opened, and it is never
    // read past the size it was accepted at.
    contents.reserve(static_cast<std::size_t>(size_));
    char chunk[65536];
    for (;;) {
        ssize_t n = ::read(fd_, chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fault_ = FileFault::Unreadable;
            return std::nullopt;
        }
        if (n == 0)
            break;
        std::size_t room = static_cast<std::size_t>(size_) - contents.size();
        contents.append(chunk, std::min(static_cast<std::size_t>(n), room));
        if (contents.size() == size_)
            break;
    }
    return contents;
}

int ReadableFile::release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
}

}  // namespace keytut
