// What on this machine can be a Morse key: the serial ports with their USB description, the MIDI
// adapters' raw-MIDI nodes and the keyboard-type adapters' input devices, for the Key setting.
#pragma once

#include <filesystem>

#include "keying/key_choices.h"

namespace keytut::keys {

struct KeyPlaces {
    std::filesystem::path midiFolder = "/dev/snd";           // midiC*D*
    std::filesystem::path soundCards = "/sys/class/sound";   // cardN/id: the card's name
    std::filesystem::path inputFolder = "/dev/input/by-id";  // *-event-kbd
    bool serialPorts = true;                                 // ask the serial layer
};

// Looked at now; each list sorted by path. A folder that is missing or unreadable gives nothing.
FoundKeys findKeys(const KeyPlaces& places = {});

}  // namespace keytut::keys
