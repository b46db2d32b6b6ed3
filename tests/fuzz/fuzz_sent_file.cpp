// The sent-file reader on a file holding any bytes, read line by line to its end: its lines are
// those the line splitter makes of the same bytes, none holds a line end or passes the limit,
// and the reader closes the file at the end and stays there.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "exercises/text_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("keytut-fuzz-sent-" + std::to_string(::getpid()));
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out)
            std::abort();
    }

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
    if (splitter.ready() || reader.isOpen() || reader.nextLine())
        std::abort();
    std::filesystem::remove(path);
    return 0;
}
