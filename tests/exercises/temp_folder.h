// A folder of its own for a test, removed with everything in it at the end.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace keytut::testing {

struct TempFolder {
    TempFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "keytut-test-XXXXXX").string();
        path = ::mkdtemp(pattern.data());
    }
    ~TempFolder() {
        std::error_code error;
        std::filesystem::permissions(path, std::filesystem::perms::owner_all, error);
        std::filesystem::remove_all(path, error);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream out(path / name, std::ios::binary);
        out << bytes;
    }

    std::filesystem::path path;
};

}  // namespace keytut::testing
