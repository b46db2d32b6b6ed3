// The code table reader on any bytes: it must neither crash nor index outside its tables, and a
// faulty file never gives more than ten records' boxes and the box that counts the rest.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/code_table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    keytut::CodeTable table;
    keytut::CollectingMessageSink messages;
    keytut::loadCodeTableFrom(table, std::string(reinterpret_cast<const char*>(data), size),
                              messages);
    if (messages.messages.size() > 2 * keytut::kShownFaultyLines + 1)
        std::abort();
    for (const auto& row : table.codeElements) {
        for (std::int32_t element : row) {
            if (element != 0 && element != keytut::kDot && element != keytut::kDash)
                std::abort();
        }
    }
    if (!table.decodeTree[0].empty())
        std::abort();
    for (std::size_t i = 1; i < table.decodeTree.size(); ++i) {
        if (table.decodeTree[i].size() != 1)
            std::abort();
    }
    return 0;
}
