// Reading whole data files from the tutor's data folder.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace keytut {

// The file's bytes, or nothing when it is missing or cannot be read (a folder of that name, no
// permission): the learner is told the same in every such case.
std::optional<std::string> readDataFile(const std::filesystem::path& path);

// "File NAME missing", the message for a data file that cannot be read.
std::string missingFileMessage(const std::string& name);

}  // namespace keytut
