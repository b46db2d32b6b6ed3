// The learner's settings kept between runs: both speeds, the port, the tone's pitch and edges,
// the paddle keyer's mode, a keyboard-type adapter's keys and the key chosen for each port
// number, one small file per program
// in the user's configuration folder ($XDG_CONFIG_HOME, normally ~/.config/keytut/earkey.conf and
// keyview.conf). The data folder has nothing to do with it.
#pragma once

#include <filesystem>
#include <map>
#include <string>

#include "core/synthesis.h"
#include "keying/input_keys.h"
#include "keying/keyer_modes.h"

namespace keytut::ui {

struct KeptSettings {
    SpeedSettings speeds;    // both "12"
    std::string port = "1";  // the text of the port box
    ToneSettings tone;       // 800 Hz, hard edges
    KeyerMode keyer = KeyerMode::Plain;
    InputKeys inputKeys = defaultInputKeys();
    // The key chosen for a port number ("1" -> "midi:/dev/snd/midiC1D0"); a number without an
    // entry is the serial port it names.
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

// The settings in `file`. A missing, unreadable or damaged file, or a value that is not one the
// main window offers, gives the defaults for that value, silently: a learner's program always
// starts.
KeptSettings loadSettings(const std::filesystem::path& file);

// Writes the settings to `file`, creating its folder: only the values that differ from what the
// file holds, so that an unchanged run leaves the file as it was. Returns false when it could not.
bool saveSettings(const std::filesystem::path& file, const KeptSettings& settings);

}  // namespace keytut::ui
