// The letter and digit keys as the lesson's poller reads them: down now, and pressed since the
// previous query of that key. Free of any toolkit; the programs feed it from their key events.
#pragma once

#include <array>
#include <cstddef>

namespace keytut {

// Key state bits as the poller reads them: down now, and pressed since the previous query.
constexpr int kKeyDown = 0x8000;
constexpr int kKeyPressedSinceQuery = 0x0001;

// The state of every key as the poller sees it, fed with key presses and releases. Letters count
// whatever the Shift state (a lower-case letter is its capital's key); the program feeds digits
// only from the main keyboard row. A repeated press of a key that is still down (auto-repeat) is
// not a new press.
class AsyncKeyStates {
  public:
    void keyDown(char key);
    void keyUp(char key);
    // kKeyDown if the key is down, plus kKeyPressedSinceQuery if it was pressed since the last
    // query of that key; the query clears the latter.
    int query(char key);
    // True while a press of the key waits for its first query.
    bool unread(char key) const { return pressed_[slot(key)]; }
    void clear();

  private:
    static std::size_t slot(char key);
    std::array<bool, 256> down_{};
    std::array<bool, 256> pressed_{};
};

}  // namespace keytut
