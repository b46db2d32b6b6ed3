#include "file_sending.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace keytut {

namespace {
std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}
}  // namespace

std::optional<std::filesystem::path> findSendFile(const std::filesystem::path& folder,
                                                  const std::string& name) {
    if (name.empty())
        return std::nullopt;
    std::filesystem::path typed(name);
    std::filesystem::path path = typed.is_absolute() ? typed : folder / typed;
    std::error_code error;
    // symlink_status: a link that leads nowhere is found here and reported as missing later.
    if (std::filesystem::exists(std::filesystem::symlink_status(path, error)))
        return path;

    // Learners used to other systems type names in any case.
    std::filesystem::path dir = path.parent_path();
    std::string wanted = lowerCase(path.filename().string());
    std::vector<std::string> matches;
    for (std::filesystem::directory_iterator it(dir.empty() ? "." : dir, error), end;
         !error && it != end; it.increment(error)) {
        std::string candidate = it->path().filename().string();
        if (lowerCase(candidate) == wanted)
            matches.push_back(candidate);
    }
    if (matches.empty())
        return std::nullopt;
    std::sort(matches.begin(), matches.end());
    return dir / matches.front();
}

FileUpdate FileSending::start(const std::filesystem::path& folder, const std::string& name) {
    FileUpdate update;
    update.acted = true;
    auto path = findSendFile(folder, name);
    if (!path) {
        update.beep = true;
        if (!name.empty())
            update.message = fileFaultMessage(TextFileFault::Missing, name);
        return update;
    }
    // The file being sent is closed first; the line that was sounding is replaced by the new
    // file's first line and so is not listed.
    reader_.close();
    current_.reset();
    TextFileFault fault = reader_.open(*path);
    name_ = name;
    if (fault != TextFileFault::None) {
        update.message = fileFaultMessage(fault, name);
        return update;
    }
    return sendNextLine(std::move(update));
}

FileUpdate FileSending::lineSent() {
    FileUpdate update;
    if (!current_)
        return update;
    update.acted = true;
    update.addLine = std::move(*current_);
    current_.reset();
    update.topIndex = list_.add();
    return sendNextLine(std::move(update));
}

FileUpdate FileSending::sendNextLine(FileUpdate update) {
    if (auto line = reader_.nextLine()) {
        current_ = *line + " ";
        update.send = current_;
    } else {
        update.finished = true;
        if (reader_.fault() != TextFileFault::None)
            update.message = fileFaultMessage(reader_.fault(), name_);
    }
    return update;
}

void FileSending::close() {
    reader_.close();
    current_.reset();
}

}  // namespace keytut
