#include "practice_data.h"

#include <algorithm>
#include <cctype>

#include "data_files.h"
#include "fields.h"

namespace keytut {

std::vector<std::string> parseWordList(std::string contents, std::string_view wordEnding) {
    std::vector<std::string> words;
    FieldReader reader(std::move(contents));
    for (reader.skipBlankLines(); !reader.atEnd() && words.size() < kMaxWords;
         reader.skipBlankLines()) {
        std::string word = reader.readTextField();
        // An empty field (",,") is no word: it would be sent as nothing at all.
        if (word.empty())
            continue;
        word += wordEnding;
        words.push_back(std::move(word));
    }
    return words;
}

std::vector<std::string> parseLessonGroups(std::string_view contents) {
    std::vector<std::string> groups;
    for (std::string& line : splitLines(contents)) {
        bool empty =
            std::all_of(line.begin(), line.end(), [](char c) { return c == ' ' || c == '\t'; });
        // A blank line would make a lesson without characters to draw from.
        if (empty)
            continue;
        if (groups.size() == kMaxLessonGroups)
            break;
        groups.push_back(std::move(line));
    }
    return groups;
}

namespace {
bool matchesQsoPattern(const std::string& name) {
    if (name.size() < 5)
        return false;
    std::string prefix = name.substr(0, 5);
    std::transform(prefix.begin(), prefix.end(), prefix.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return prefix == "MORSE" && name.find('.', 5) != std::string::npos;
}
}  // namespace

std::vector<std::string> findQsoFiles(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    std::filesystem::directory_iterator it(folder, error);
    if (error)
        return names;
    for (const auto& entry : it) {
        if (names.size() == kMaxQsoFiles)
            break;
        std::error_code typeError;
        if (!entry.is_regular_file(typeError))
            continue;
        std::string name = entry.path().filename().string();
        if (matchesQsoPattern(name))
            names.push_back(name);
    }
    return names;
}

void loadPracticeData(PracticeData& data, const std::filesystem::path& folder,
                      std::string_view wordEnding, MessageSink& messages) {
    data = PracticeData{};
    DataFile words = loadDataFile(folder / kWordListFile);
    if (words.contents) {
        data.wordList = parseWordList(std::move(*words.contents), wordEnding);
    } else {
        messages.showMessage(dataFileMessage(kWordListFile, words.fault));
    }
    data.qsoFiles = findQsoFiles(folder);
    DataFile groups = loadDataFile(folder / kLessonGroupFile);
    if (groups.contents) {
        data.lessonGroups = parseLessonGroups(*groups.contents);
    } else {
        messages.showMessage(dataFileMessage(kLessonGroupFile, groups.fault));
    }
}

}  // namespace keytut
