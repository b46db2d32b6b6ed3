// The QSO file reader on any bytes, and the line splitter under it fed the same bytes in pieces
// of any size. The first bytes of the input choose the pieces and a short line limit, so that
// cut lines and line ends split between pieces come up in small inputs.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "exercises/qso_practice.h"
#include "exercises/text_file.h"

namespace {

// The lines as the splitter documents them: CR LF, LF or CR end a line; a line longer than
// `limit` is cut into pieces of that length; a last line without a line end counts if not empty.
std::vector<std::string> expectedLines(std::string_view bytes, std::size_t limit) {
    std::vector<std::string> whole;
    std::string line;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        char c = bytes[i];
        if (c == '\r' || c == '\n') {
            whole.push_back(std::move(line));
            line.clear();
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
        } else {
            line += c;
        }
    }
    if (!line.empty())
        whole.push_back(std::move(line));
    std::vector<std::string> lines;
    for (const std::string& w : whole) {
        if (w.empty())
            lines.emplace_back();
        for (std::size_t at = 0; at < w.size(); at += limit)
            lines.push_back(w.substr(at, limit));
    }
    return lines;
}

std::vector<std::string> drain(keytut::LineSplitter& splitter) {
    std::vector<std::string> lines;
    while (auto line = splitter.next())
        lines.push_back(std::move(*line));
    return lines;
}

void checkQsoFile(std::string_view bytes) {
    keytut::QsoFile file = keytut::parseQsoFile(bytes);
    std::size_t nextStart = 0;
    for (std::size_t i = 0; i < file.lines.size(); ++i) {
        const std::string& line = file.lines[i];
        if (line.empty() || line.size() > keytut::kMaxLineBytes)
            std::abort();
        if (line.find_first_of("\r\n") != std::string::npos)
            std::abort();
        // A line is a start line exactly when it holds "+"; the starts are in file order.
        bool isStart = nextStart < file.starts.size() && file.starts[nextStart] == i;
        if (isStart != (line.find('+') != std::string::npos))
            std::abort();
        if (isStart)
            ++nextStart;
    }
    if (nextStart != file.starts.size())
        std::abort();
    for (std::size_t k = 0; k < file.qsoCount(); ++k) {
        if (file.qsoText(k).rfind(file.lines[file.starts[k]], 0) != 0)
            std::abort();
    }
    if (!file.qsoText(file.qsoCount()).empty())
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    checkQsoFile(input);

    if (input.size() < 2)
        return 0;
    const std::size_t limit = 1 + static_cast<unsigned char>(input[0]) % 16;
    const std::uint8_t pieceSeed = static_cast<unsigned char>(input[1]);
    const std::string_view bytes = input.substr(2);

    keytut::LineSplitter whole(limit);
    whole.feed(bytes);
    whole.finish();
    const std::vector<std::string> lines = drain(whole);
    for (const std::string& line : lines) {
        if (line.size() > limit || line.find_first_of("\r\n") != std::string::npos)
            std::abort();
    }
    if (lines != expectedLines(bytes, limit))
        std::abort();

    // The same bytes in pieces whose sizes follow from the bytes themselves (empty pieces too),
    // taking the ready lines out between pieces as a reader does.
    keytut::LineSplitter pieces(limit);
    std::vector<std::string> piecesLines;
    std::size_t at = 0;
    std::uint32_t state = pieceSeed;
    while (at < bytes.size()) {
        state = state * 1103515245u + 12345u + static_cast<unsigned char>(bytes[at]);
        std::size_t n = (state >> 16) % 8;
        if (n > bytes.size() - at)
            n = bytes.size() - at;
        pieces.feed(bytes.substr(at, n));
        at += n;
        for (std::string& line : drain(pieces))
            piecesLines.push_back(std::move(line));
    }
    pieces.finish();
    pieces.finish();
    for (std::string& line : drain(pieces))
        piecesLines.push_back(std::move(line));
    if (piecesLines != lines)
        std::abort();
    return 0;
}
