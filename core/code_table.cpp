#include "code_table.h"

#include "data_files.h"
#include "fields.h"

namespace keytut {

CodeTable::CodeTable() {
    clear();
}

void CodeTable::clear() {
    for (auto& row : codeElements)
        row.fill(0);
    decodeTree[0].clear();
    for (std::size_t i = 1; i < decodeTree.size(); ++i)
        decodeTree[i] = "_";
}

bool loadCodeTable(CodeTable& table, const std::filesystem::path& folder, MessageSink& messages) {
    auto contents = readDataFile(folder / kCodeTableFile);
    if (!contents) {
        messages.showMessage(missingFileMessage(kCodeTableFile));
        return false;
    }
    loadCodeTableFrom(table, std::move(*contents), messages);
    return true;
}

void loadCodeTableFrom(CodeTable& table, std::string contents, MessageSink& messages) {
    table.clear();
    FieldReader reader(std::move(contents));
    long long record = 1;
    for (reader.skipBlankLines(); !reader.atEnd(); reader.skipBlankLines()) {
        long long code = reader.readNumberField();
        std::string pattern = reader.readTextField();
        // Negative codes are as wrong as codes above 255 and must never index the table.
        if (code < 0 || code > 255) {
            messages.showMessage(withNumber("Faulty ASCII code on line", record));
            code = 0;
        }
        if (pattern.size() > kMaxElements) {
            messages.showMessage(withNumber("Too many code elements on line", record));
            pattern.resize(kMaxElements);
        }
        if (pattern.empty())
            pattern = "0";
        int n = 0;
        for (std::size_t j = 0; j < pattern.size(); ++j) {
            n = 2 * n + 1;
            std::int32_t element = kDot;
            if (pattern[j] == '-') {
                element = kDash;
                n += 1;
            }
            table.codeElements[code][j] = element;
        }
        table.decodeTree[n] = std::string(1, static_cast<char>(code));
        ++record;
    }
}

}  // namespace keytut
