#include "kept_settings.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QStandardPaths>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <optional>
#include <vector>

#include "core/readable_file.h"
#include "keying/key_choices.h"
#include "keying/key_source.h"

namespace keytut::ui {

namespace {

const char* const kCharacterSpeedKey = "speeds/character";
const char* const kWordSpeedKey = "speeds/word";
const char* const kPortKey = "port/number";
const char* const kKeyerKey = "paddle/keyer";
const char* const kInputDotKey = "input/dot";
const char* const kInputDashKey = "input/dash";
const char* const kPitchKey = "tone/pitch";
const char* const kSoftEdgesKey = "tone/soft-edges";
const std::string kKeyPrefix = "key/";  // key/1=midi:/dev/snd/midiC1D0

// The position of a speed written as its words per minute ("15"); -1 for anything else.
int speedIndex(const std::string& text) {
    for (std::size_t i = 0; i < speedChoices.size(); ++i) {
        if (text == speedChoices[i])
            return static_cast<int>(i);
    }
    return -1;
}

bool validPort(const std::string& text) {
    // What the port box accepts.
    return !text.empty() && text.size() <= kMaxPortDigits &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// One line of a settings file, as far as it is understood.
struct IniLine {
    enum class Kind { Other, Section, Key } kind = Kind::Other;
    std::string name;  // the section's name, or the key's
    std::string value;
    std::string text;  // the line as it stands
};

std::optional<IniLine> parseLine(std::string text) {
    if (!text.empty() && text.back() == '\r')
        text.pop_back();
    for (unsigned char c : text) {
        if ((c < 0x20 && c != '\t') || c == 0x7f)
            return std::nullopt;  // not text: a damaged file
    }
    IniLine line;
    line.text = text;
    const std::string bare = trimmed(text);
    if (bare.empty() || bare[0] == ';' || bare[0] == '#')
        return line;
    if (bare.front() == '[' && bare.back() == ']' && bare.size() > 2) {
        line.kind = IniLine::Kind::Section;
        line.name = trimmed(bare.substr(1, bare.size() - 2));
        return line;
    }
    const auto eq = bare.find('=');
    if (eq == std::string::npos || eq == 0)
        return std::nullopt;
    line.kind = IniLine::Kind::Key;
    line.name = trimmed(bare.substr(0, eq));
    line.value = trimmed(bare.substr(eq + 1));
    return line;
}

std::vector<IniLine> parseText(const std::string& text) {
    std::vector<IniLine> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        auto end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        if (auto line = parseLine(text.substr(at, end - at)))
            lines.push_back(std::move(*line));
        at = end + 1;
    }
    return lines;
}

// "section/key" -> value; a key given twice counts as given last.
std::map<std::string, std::string> valuesOf(const std::vector<IniLine>& lines) {
    std::map<std::string, std::string> values;
    std::string section;
    for (const IniLine& line : lines) {
        if (line.kind == IniLine::Kind::Section)
            section = line.name;
        else if (line.kind == IniLine::Kind::Key)
            values[section + "/" + line.name] = line.value;
    }
    return values;
}

std::optional<std::string> readSettingsText(const std::filesystem::path& file, FileFault& fault) {
    ReadableFile opened(file, kMaxSettingsFileBytes);
    fault = opened.fault();
    if (!opened)
        return std::nullopt;
    auto text = opened.readAll();
    fault = opened.fault();
    return text;
}

mode_t newFileMode() {
    // The umask, without changing it (other threads may be creating files).
    mode_t mask = 022;
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("Umask:", 0) == 0) {
            mask = static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8));
            break;
        }
    }
    return 0666 & ~mask;
}

bool writeAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Holds the settings folder locked against the other programs' writes (for at most about a
// second: a holder that hangs does not keep the settings from being written).
class FolderLock {
  public:
    explicit FolderLock(const std::filesystem::path& folder)
        : fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        for (int i = 0; fd_ >= 0 && i < 100 && ::flock(fd_, LOCK_EX | LOCK_NB) != 0; ++i)
            ::usleep(10000);
    }
    ~FolderLock() {
        if (fd_ >= 0) {
            ::fsync(fd_);  // the new name on the disk too
            ::close(fd_);
        }
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

  private:
    int fd_;
};

}  // namespace

std::filesystem::path settingsFile(const std::string& program) {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return std::filesystem::path(base.toStdString()) / "keytut" / (program + ".conf");
}

KeptSettings loadSettings(const std::filesystem::path& file) {
    KeptSettings kept;
    FileFault fault = FileFault::None;
    auto text = readSettingsText(file, fault);
    if (!text)
        return kept;
    auto values = valuesOf(parseText(*text));
    const int charIndex = speedIndex(values[kCharacterSpeedKey]);
    const int wordIndex = speedIndex(values[kWordSpeedKey]);
    // Through the speed rule, so that a file edited by hand still gives a word speed no faster
    // than the character speed.
    Timing timing;
    if (charIndex >= 0)
        kept.speeds.chooseCharacterSpeed(charIndex, timing);
    if (wordIndex >= 0)
        kept.speeds.chooseWordSpeed(wordIndex, timing);
    if (validPort(values[kPortKey]))
        kept.port = values[kPortKey];
    if (auto keyer = keyerModeFromName(values[kKeyerKey]))
        kept.keyer = *keyer;
    // The two keys together, or neither: a pair that is not two keys is not half the learner's.
    const auto dot = inputKeyCode(values[kInputDotKey]);
    const auto dash = inputKeyCode(values[kInputDashKey]);
    if (dot && dash && *dot != *dash)
        kept.inputKeys = {*dot, *dash};
    const std::string& pitch = values[kPitchKey];
    if (!pitch.empty() && pitch.size() <= 4 &&
        std::all_of(pitch.begin(), pitch.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
        pitchOffered(std::stoi(pitch)))
        kept.tone.pitch = std::stoi(pitch);
    const std::string& soft = values[kSoftEdgesKey];
    if (soft == "true" || soft == "false")
        kept.tone.softEdges = soft == "true";
    for (auto it = values.lower_bound(kKeyPrefix);
         it != values.end() && it->first.rfind(kKeyPrefix, 0) == 0; ++it) {
        const std::string port = it->first.substr(kKeyPrefix.size());
        if (validPort(port) && validKeyDevice(it->second))
            kept.keys[port] = it->second;
    }
    return kept;
}

std::map<std::string, std::string> settingsEntries(const KeptSettings& settings) {
    auto wpm = [](int index) {
        return std::string(speedChoices[static_cast<std::size_t>(
            std::clamp(index, 0, static_cast<int>(speedChoices.size()) - 1))]);
    };
    std::map<std::string, std::string> entries{
        {kCharacterSpeedKey, wpm(settings.speeds.charIndex)},
        {kWordSpeedKey, wpm(settings.speeds.wordIndex)},
        {kPortKey, settings.port},
        {kKeyerKey, keyerModeName(settings.keyer)},
        {kInputDotKey, inputKeyName(settings.inputKeys.dot)},
        {kInputDashKey, inputKeyName(settings.inputKeys.dash)},
        {kPitchKey, std::to_string(settings.tone.pitch)},
        {kSoftEdgesKey, settings.tone.softEdges ? "true" : "false"}};
    for (const auto& [port, device] : settings.keys)
        entries[kKeyPrefix + port] = device;
    return entries;
}

std::string withEntries(const std::string& text,
                        const std::map<std::string, std::string>& entries) {
    std::vector<IniLine> lines = parseText(text);
    for (const auto& [path, value] : entries) {
        const auto slash = path.find('/');
        const std::string section = path.substr(0, slash);
        const std::string key = path.substr(slash + 1);
        IniLine line;
        line.kind = IniLine::Kind::Key;
        line.name = key;
        line.value = value;
        line.text = key + "=" + value;
        // Where the key stands, or the end of its section.
        std::string current;
        std::optional<std::size_t> found, sectionEnd;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].kind == IniLine::Kind::Section) {
                current = lines[i].name;
                if (current == section)
                    sectionEnd = i + 1;
                continue;
            }
            if (current != section)
                continue;
            if (lines[i].kind == IniLine::Kind::Key && lines[i].name == key)
                found = i;
            if (!trimmed(lines[i].text).empty())
                sectionEnd = i + 1;
        }
        if (found) {
            lines[*found] = line;
        } else if (sectionEnd) {
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*sectionEnd), line);
        } else {
            if (!lines.empty() && !trimmed(lines.back().text).empty())
                lines.push_back(IniLine{});
            IniLine header;
            header.kind = IniLine::Kind::Section;
            header.name = section;
            header.text = "[" + section + "]";
            lines.push_back(header);
            lines.push_back(line);
        }
    }
    std::string out;
    for (const IniLine& line : lines)
        out += line.text + "\n";
    return out;
}

SettingsKeeper::SettingsKeeper(std::filesystem::path file)
    : file_(std::move(file)), loaded_(loadSettings(file_)), known_(settingsEntries(loaded_)) {}

bool SettingsKeeper::keep(const KeptSettings& now) {
    std::map<std::string, std::string> changed;
    const auto entries = settingsEntries(now);
    for (const auto& [key, value] : entries) {
        if (known_[key] != value)
            changed[key] = value;
    }
    // A port back on the serial port its number names: its key line is emptied.
    for (const auto& [key, value] : known_) {
        if (key.rfind(kKeyPrefix, 0) == 0 && !value.empty() && !entries.contains(key))
            changed[key] = "";
    }
    if (changed.empty())
        return true;
    if (!write(changed))
        return false;
    for (const auto& [key, value] : changed)
        known_[key] = value;
    error_.clear();
    return true;
}

bool SettingsKeeper::write(const std::map<std::string, std::string>& changed) {
    namespace fs = std::filesystem;
    auto fail = [this](const std::string& why) {
        error_ = why;
        return false;
    };
    std::error_code error;
    // A link is followed: the file it leads to is the one replaced.
    fs::path target = fs::weakly_canonical(file_, error);
    if (error)
        target = file_;
    const fs::path folder = target.parent_path();
    fs::create_directories(folder, error);
    if (error)
        return fail("the folder " + folder.string() + " cannot be made: " + error.message());
    FolderLock lock(folder);

    struct stat status {};
    const bool exists = ::lstat(target.c_str(), &status) == 0;
    if (exists && !S_ISREG(status.st_mode))
        return fail(target.string() + " is not a regular file");
    std::string text;
    if (exists) {
        FileFault fault = FileFault::None;
        auto old = readSettingsText(target, fault);
        if (old)
            text = std::move(*old);
        else if (fault != FileFault::TooLarge)  // an over-large file is damaged: replaced
            return fail(target.string() + " cannot be read");
    }
    const std::string out = withEntries(text, changed);

    std::string temporary = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return fail(folder.string() + " cannot be written: " + std::strerror(errno));
    const bool written = writeAll(fd, out) &&
                         ::fchmod(fd, exists ? (status.st_mode & 07777) : newFileMode()) == 0 &&
                         ::fsync(fd) == 0;
    const int writeError = errno;
    if (::close(fd) != 0 || !written) {
        ::unlink(temporary.c_str());
        return fail(target.string() + " cannot be written: " + std::strerror(writeError));
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const int renameError = errno;
        ::unlink(temporary.c_str());
        return fail(target.string() + " cannot be replaced: " + std::strerror(renameError));
    }
    return true;
}

}  // namespace keytut::ui
