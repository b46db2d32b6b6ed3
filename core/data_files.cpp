#include "data_files.h"

#include "messages.h"

namespace keytut {

DataFile loadDataFile(const std::filesystem::path& path, std::uintmax_t maxBytes) {
    ReadableFile file(path, maxBytes);
    DataFile result;
    if (file)
        result.contents = file.readAll();
    result.fault = file.fault();
    return result;
}

std::optional<std::string> readDataFile(const std::filesystem::path& path) {
    return loadDataFile(path).contents;
}

std::string dataFileMessage(const std::string& name, FileFault fault) {
    if (fault == FileFault::TooLarge) {
        return "File " + name + " too large (over " +
               std::to_string(kMaxDataFileBytes / (1024 * 1024)) + " MB)";
    }
    return missingFileMessage(name);
}

std::string missingFileMessage(const std::string& name) {
    return "File " + name + " missing";
}

std::string withNumber(const std::string& text, long long number) {
    return text + " " + std::to_string(number);
}

}  // namespace keytut
