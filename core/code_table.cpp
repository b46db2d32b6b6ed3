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
    DataFile file = loadDataFile(folder / kCodeTableFile);
    if (!file.contents) {
        messages.showMessage(dataFileMessage(kCodeTableFile, file.fault));
        return false;
    }
    loadCodeTableFrom(table, std::move(*file.contents), messages);
    return true;
}

std::string moreFaultyLinesMessage(long long count, const std::string& fileName) {
    return std::to_string(count) +
           (count == 1 ? " more faulty line in " : " more faulty lines in ") + fileName;
}

std::string skippedCharactersNote(std::size_t skipped, std::size_t total,
                                  const std::string& distinct, const std::string& tableName) {
    std::string note = std::to_string(skipped) + " of " + std::to_string(total) +
                       (total == 1 ? " character" : " characters") +
                       (skipped == 1 ? " has" : " have") + " no code in " + tableName + " and " +
                       (skipped == 1 ? "was" : "were") + " skipped:";
    for (unsigned char c : distinct) {
        if (c > 32 && c < 127)
            note += " \"" + std::string(1, static_cast<char>(c)) + "\"";
        else
            note += " (byte " + std::to_string(static_cast<unsigned>(c)) + ")";
    }
    return note;
}

void loadCodeTableFrom(CodeTable& table, std::string contents, MessageSink& messages,
                       const std::string& fileName) {
    table.clear();
    FieldReader reader(std::move(contents));
    long long record = 1;
    // Each box must be dismissed before loading goes on: a binary file would give thousands in a
    // row. The first faulty lines are shown one by one, the rest counted in one box at the end.
    long long faultyLines = 0;
    long long unshownLines = 0;
    for (reader.skipBlankLines(); !reader.atEnd(); reader.skipBlankLines()) {
        long long code = reader.readNumberField();
        std::string pattern = reader.readTextField();
        // Negative codes are as wrong as codes above 255 and must never index the table.
        const bool badCode = code < 0 || code > 255;
        const bool tooLong = pattern.size() > kMaxElements;
        if (badCode || tooLong) {
            if (++faultyLines > kShownFaultyLines) {
                ++unshownLines;
            } else {
                if (badCode)
                    messages.showMessage(withNumber("Faulty ASCII code on line", record));
                if (tooLong)
                    messages.showMessage(withNumber("Too many code elements on line", record));
            }
        }
        if (badCode)
            code = 0;
        if (tooLong)
            pattern.resize(kMaxElements);
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
    if (unshownLines > 0)
        messages.showMessage(moreFaultyLinesMessage(unshownLines, fileName));
}

}  // namespace keytut
