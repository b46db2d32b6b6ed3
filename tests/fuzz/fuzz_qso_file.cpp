// The QSO file reader on any bytes, and the line splitter under it fed the same bytes in pieces
// of any size. The first bytes of the input choose the pieces and a short line limit, so that
// cut lines and line ends split between pieces come up in small inputs.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "exercises/qso_practice.h"
#include "exercises/text_file.h"

namespace {

// The lines as the splitter documents them, one at a time, as views into the bytes: CR LF, LF or
// CR end a line; a line longer than `limit` is cut into pieces of that length; a last line
// without a line end counts if not empty. (Nothing is copied: a target that builds vectors of
// thousands of short lines for each input spends its time on fresh memory, not on the reader.)
class ExpectedLines {
  public:
    ExpectedLines(std::string_view bytes, std::size_t limit) : bytes_(bytes), limit_(limit) {}

    std::optional<std::string_view> next() {
        if (piece_ < line_.size()) {
            auto piece = line_.substr(piece_, limit_);
            piece_ += limit_;
            return piece;
        }
        if (at_ >= bytes_.size())
            return std::nullopt;
        std::size_t end = at_;
        while (end < bytes_.size() && bytes_[end] != '\r' && bytes_[end] != '\n')
            ++end;
        line_ = bytes_.substr(at_, end - at_);
        at_ = end + 1;
        if (end < bytes_.size() && bytes_[end] == '\r' && at_ < bytes_.size() &&
            bytes_[at_] == '\n')
            ++at_;
        piece_ = limit_;
        return line_.substr(0, limit_);  // an empty line is one line
    }

  private:
    std::string_view bytes_;
    std::size_t limit_;
    std::size_t at_ = 0;     // where the next whole line starts
    std::string_view line_;  // the whole line being cut into pieces
    std::size_t piece_ = 0;  // where its next piece starts
};

// The splitter's ready lines must be the next expected ones.
void takeLines(keytut::LineSplitter& splitter, ExpectedLines& expected) {
    while (auto line = splitter.next()) {
        auto want = expected.next();
        if (!want || *want != *line)
            std::abort();
    }
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
    ExpectedLines wholeExpected(bytes, limit);
    takeLines(whole, wholeExpected);
    if (wholeExpected.next())
        std::abort();

    // The same bytes in pieces whose sizes follow from the bytes themselves (empty pieces too),
    // taking the ready lines out between pieces as a reader does.
    keytut::LineSplitter pieces(limit);
    ExpectedLines piecesExpected(bytes, limit);
    std::size_t at = 0;
    std::uint32_t state = pieceSeed;
    while (at < bytes.size()) {
        state = state * 1103515245u + 12345u + static_cast<unsigned char>(bytes[at]);
        std::size_t n = (state >> 16) % 8;
        if (n > bytes.size() - at)
            n = bytes.size() - at;
        pieces.feed(bytes.substr(at, n));
        at += n;
        takeLines(pieces, piecesExpected);
    }
    pieces.finish();
    pieces.finish();
    takeLines(pieces, piecesExpected);
    if (piecesExpected.next())
        std::abort();
    return 0;
}
