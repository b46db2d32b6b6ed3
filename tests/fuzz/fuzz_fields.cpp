// The field reader on any bytes, reading text and number fields in an order the input chooses:
// every read ends, the reader always moves on, and numbers stay in the 32-bit range.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

#include "core/fields.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    // The first byte chooses the sequence of reads, one bit a field (cycled).
    const std::uint8_t order = data[0];
    std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

    keytut::FieldReader reader(text);
    std::size_t fields = 0;
    for (reader.skipBlankLines(); !reader.atEnd(); reader.skipBlankLines()) {
        if (order & (1u << (fields % 8))) {
            long long n = reader.readNumberField();
            if (n > std::numeric_limits<int>::max() || n < -std::numeric_limits<int>::max())
                std::abort();
        } else {
            std::string field = reader.readTextField();
            if (field.size() > text.size())
                std::abort();
        }
        // Each field takes at least one byte: more fields than bytes means a read that did not
        // move on, which would hang a loader.
        if (++fields > text.size())
            std::abort();
    }

    std::size_t total = 0;
    for (const std::string& line : keytut::splitLines(text)) {
        if (line.find_first_of("\r\n") != std::string::npos)
            std::abort();
        total += line.size();
    }
    if (total > text.size())
        std::abort();
    return 0;
}
