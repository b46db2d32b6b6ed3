// Reading whole data files from the tutor's data folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "readable_file.h"

namespace keytut {

// The largest data file read. The biggest real one, a word list of 2,000 words, is some tens of
// kilobytes; a file of gigabytes is a mistake (a disk image saved under the name, a log), and
// reading it whole would exhaust the memory.
constexpr std::uintmax_t kMaxDataFileBytes = 16u * 1024 * 1024;

struct DataFile {
    std::optional<std::string> contents;  // nothing when the file could not be read
    FileFault fault = FileFault::Missing;
};

// Reads the file whole if it is a regular file of at most `maxBytes`.
DataFile loadDataFile(const std::filesystem::path& path,
                      std::uintmax_t maxBytes = kMaxDataFileBytes);

// The file's bytes, or nothing whatever the fault.
std::optional<std::string> readDataFile(const std::filesystem::path& path);

// What the learner is told about a data file that could not be read: "File NAME missing" when it
// is not there or cannot be read (a folder of that name, a FIFO, no permission), and "File NAME
// too large (over 16 MB)" when it is refused for its size.
std::string dataFileMessage(const std::string& name, FileFault fault);

// "File NAME missing".
std::string missingFileMessage(const std::string& name);

}  // namespace keytut
