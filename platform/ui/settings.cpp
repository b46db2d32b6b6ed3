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
    return KeptSettings{tutor_.speeds, port_, tone(), keyerMode_, inputKeys_};
}

void Settings::take(const KeptSettings& kept) {
    setTone(kept.tone);
    chooseCharacterSpeed(kept.speeds.charIndex);
    chooseWordSpeed(kept.speeds.wordIndex);
    port_ = kept.port;
    keyerMode_ = kept.keyer;
    inputKeys_ = kept.inputKeys;
}

}  // namespace keytut::ui
