// The sent-file reader on a file holding any bytes, read line by line to its end: its lines are
// those the line splitter makes of the same bytes, none holds a line end or passes the limit,
// and the reader closes the file at the end and stays there.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "exercises/text_file.h"

namespace {

// One file in memory for the whole run, written again for each input. A file on disk cost more
// than all the reading: creating, truncating and removing one per input waits on the disk (on a
// file system mounted with discard, every truncation is a trip to the device).
int sentFile() {
    static const int fd = ::memfd_create("keytut-fuzz-sent", MFD_CLOEXEC);
    return fd;
}

void rewrite(std::string_view bytes) {
    if (sentFile() < 0 || ::ftruncate(sentFile(), 0) != 0)
        std::abort();
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::pwrite(sentFile(), bytes.data() + done, bytes.size() - done,
                             static_cast<off_t>(done));
        if (n <= 0)
            std::abort();
        done += static_cast<std::size_t>(n);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    rewrite(bytes);
    // The reader opens it by name, as it opens a learner's file: a regular file.
    const std::filesystem::path path = "/proc/self/fd/" + std::to_string(sentFile());

    keytut::LineSplitter splitter;
    splitter.feed(bytes);
    splitter.finish();

    keytut::LineReader reader;
    if (reader.open(path) != keytut::TextFileFault::None || !reader.isOpen())
        std::abort();
    while (auto line = reader.nextLine()) {
        if (line->size() > keytut::kMaxLineBytes ||
            line->find_first_of("\r\n") != std::string::npos)
            std::abort();
        if (splitter.next() != line)
            std::abort();
    }
    if (splitter.ready() || reader.isOpen() || reader.nextLine() ||
        reader.fault() != keytut::TextFileFault::None)
        std::abort();
    return 0;
}
