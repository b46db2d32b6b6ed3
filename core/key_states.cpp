#include "key_states.h"

namespace keytut {

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
