#include "data_files.h"

#include <fstream>
#include <sstream>

#include "messages.h"

namespace keytut {

std::optional<std::string> readDataFile(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream contents;
    contents << in.rdbuf();
    if (in.bad())
        return std::nullopt;
    return contents.str();
}

std::string missingFileMessage(const std::string& name) {
    return "File " + name + " missing";
}

std::string withNumber(const std::string& text, long long number) {
    return text + " " + std::to_string(number);
}

}  // namespace keytut
