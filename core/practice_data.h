// The practice material: the word list, the lesson groups and the names of the QSO files.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "messages.h"

namespace keytut {

inline const char* const kWordListFile = "KEYTUT.WRD";
inline const char* const kLessonGroupFile = "KEYTUT.GRP";

constexpr std::size_t kMaxWords = 2000;
constexpr std::size_t kMaxLessonGroups = 11;
constexpr std::size_t kMaxQsoFiles = 101;

struct PracticeData {
    std::vector<std::string> wordList;      // wordCount = wordList.size()
    std::vector<std::string> qsoFiles;      // names in directory order
    std::vector<std::string> lessonGroups;  // groupCount = lessonGroups.size()
};

// Words separated by commas or line ends, at most 2,000, each with `wordEnding` appended (Keyview's
// blank gives the word space when the words are sent one after another).
std::vector<std::string> parseWordList(std::string contents, std::string_view wordEnding);
// One group a line, at most 11; empty lines are not groups.
std::vector<std::string> parseLessonGroups(std::string_view contents);
// Names of the regular files matching MORSE*.* (in any case) in directory order, at most 101.
std::vector<std::string> findQsoFiles(const std::filesystem::path& folder);

// Loads all three in order, reporting a missing word list or group file through `messages`.
void loadPracticeData(PracticeData& data, const std::filesystem::path& folder,
                      std::string_view wordEnding, MessageSink& messages);

}  // namespace keytut
