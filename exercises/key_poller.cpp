#include "key_poller.h"

namespace keytut {

std::string pollCandidates(Edition edition, int stage, std::string_view lessonText) {
    if (stage == 1)
        return std::string(kPolledKeys);
    if (stage == 0 && edition == Edition::Keyview) {
        std::string keys;
        for (char c : lessonText) {
            if (kPolledKeys.find(c) != std::string_view::npos)
                keys.push_back(c);
        }
        return keys;
    }
    return {};
}

std::optional<char> pollKeys(std::string_view candidates, const std::function<int(char)>& state) {
    for (char c : candidates) {
        if ((state(c) & 0xFFFF) == (kKeyDown | kKeyPressedSinceQuery))
            return c;
    }
    return std::nullopt;
}

std::size_t AsyncKeyStates::slot(char key) {
    auto code = static_cast<unsigned char>(key);
    if (code >= 'a' && code <= 'z')
        code = static_cast<unsigned char>(code - 'a' + 'A');
    return code;
}

void AsyncKeyStates::keyDown(char key) {
    auto i = slot(key);
    if (!down_[i])
        pressed_[i] = true;
    down_[i] = true;
}

void AsyncKeyStates::keyUp(char key) {
    down_[slot(key)] = false;
}

int AsyncKeyStates::query(char key) {
    auto i = slot(key);
    int state = (down_[i] ? kKeyDown : 0) | (pressed_[i] ? kKeyPressedSinceQuery : 0);
    pressed_[i] = false;
    return state;
}

void AsyncKeyStates::clear() {
    down_.fill(false);
    pressed_.fill(false);
}

}  // namespace keytut
