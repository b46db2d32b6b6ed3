// The learner's settings kept between runs: both speeds, the port, the tone's pitch and edges,
// the paddle keyer's mode, a keyboard-type adapter's keys and the key chosen for each port
// number, one small file per program
// in the user's configuration folder ($XDG_CONFIG_HOME, normally ~/.config/keytut/earkey.conf and
// keyview.conf). The data folder has nothing to do with it.
//
// The file is read as every other file of the tutor is: only a regular file, opened without
// waiting (a FIFO of that name never holds the program up), and only up to a small size (a huge
// file is damaged, not settings). Two copies of a program may run at once: each writes only the
// values it changed, over what the file holds at that moment, and replaces the file whole in one
// step, so that a reader never sees half a file and neither program undoes the other.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>

#include "core/synthesis.h"
#include "keying/input_keys.h"
#include "keying/keyer_modes.h"

namespace keytut::ui {

// A settings file larger than this is damaged: it gives the defaults and is replaced when a
// setting is kept.
constexpr std::uintmax_t kMaxSettingsFileBytes = 64 * 1024;

struct KeptSettings {
    SpeedSettings speeds;    // both "12"
    std::string port = "1";  // the text of the port box
    ToneSettings tone;       // 800 Hz, hard edges
    KeyerMode keyer = KeyerMode::Plain;
    InputKeys inputKeys = defaultInputKeys();
    // The key chosen for a port number ("1" -> "midi:/dev/snd/midiC1D0"), as key/1=... in the
    // file; a number without an entry (or with an empty one) is the serial port it names.
    std::map<std::string, std::string> keys;

    bool operator==(const KeptSettings& other) const {
        return speeds.charIndex == other.speeds.charIndex &&
               speeds.wordIndex == other.speeds.wordIndex && port == other.port &&
               tone == other.tone && keyer == other.keyer && inputKeys == other.inputKeys &&
               keys == other.keys;
    }
};

// Where `program` ("earkey", "keyview") keeps its settings.
std::filesystem::path settingsFile(const std::string& program);

// The settings in `file`. A missing, unreadable, over-large or damaged file, or a value that is
// not one the main window offers, gives the defaults for that value, silently: a learner's
// program always starts.
KeptSettings loadSettings(const std::filesystem::path& file);

// The settings as the file writes them: "section/key" -> value.
std::map<std::string, std::string> settingsEntries(const KeptSettings& settings);

// The text of a settings file with `entries` set in it: each key's line is replaced where the
// file has one, otherwise added to its section (the section is added at the end where missing).
// Every other line that reads as text is kept as it was; lines that hold control characters
// (a damaged file) are dropped.
std::string withEntries(const std::string& text, const std::map<std::string, std::string>& entries);

// One program's side of its settings file.
class SettingsKeeper {
  public:
    // Reads `file`: loaded() is what the program starts from (unless told to reset).
    explicit SettingsKeeper(std::filesystem::path file);

    const std::filesystem::path& file() const { return file_; }
    const KeptSettings& loaded() const { return loaded_; }

    // Keeps `now`: the values that differ from what this program last read or wrote are set
    // over what the file holds now, and the file is replaced in one step. Nothing is written
    // when nothing changed. Returns false when the file could not be written (error() says why);
    // a file of that name that is not a regular file (a FIFO, a device) is left as it is.
    bool keep(const KeptSettings& now);
    const std::string& error() const { return error_; }

  private:
    bool write(const std::map<std::string, std::string>& changed);

    std::filesystem::path file_;
    KeptSettings loaded_;
    std::map<std::string, std::string> known_;  // the values as the file held them for us
    std::string error_;
};

}  // namespace keytut::ui
