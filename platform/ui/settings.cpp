#include "settings.h"

namespace keytut::ui {

namespace {

bool isSpeedChoice(int index) {
    return index >= 0 && index < static_cast<int>(speedChoices.size());
}

}  // namespace

void Settings::chooseCharacterSpeed(int index) {
    if (isSpeedChoice(index))
        tutor_.speeds.chooseCharacterSpeed(index, tutor_.timing);
}

void Settings::chooseWordSpeed(int index) {
    if (isSpeedChoice(index))
        tutor_.speeds.chooseWordSpeed(index, tutor_.timing);
}

std::string Settings::characterSpeedText() const {
    const int index = tutor_.speeds.charIndex;
    return isSpeedChoice(index) ? std::string(speedChoices[static_cast<std::size_t>(index)])
                                : std::string();
}

KeptSettings Settings::kept() const {
    return KeptSettings{tutor_.speeds, port_, tone(), keyerMode_, inputKeys_, keys_};
}

void Settings::take(const KeptSettings& kept) {
    setTone(kept.tone);
    chooseCharacterSpeed(kept.speeds.charIndex);
    chooseWordSpeed(kept.speeds.wordIndex);
    port_ = kept.port;
    keyerMode_ = kept.keyer;
    inputKeys_ = kept.inputKeys;
    keys_ = kept.keys;
}

std::string Settings::keyOf(const std::string& port) const {
    const auto it = keys_.find(port);
    return it == keys_.end() ? std::string() : it->second;
}

void Settings::setKey(const std::string& port, const std::string& device) {
    if (device.empty()) {
        keys_.erase(port);
    } else {
        keys_[port] = device;
    }
}

}  // namespace keytut::ui
