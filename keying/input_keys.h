// A keyboard-type key adapter read as an input device: which of its keys are the dot paddle (or
// the straight key) and the dash paddle, and the device's event stream turned into the key
// lines. Key codes are the input subsystem's (KEY_LEFTCTRL is 29).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace keytut {

struct InputKeys {
    int dot;   // CTS: the straight key, the dot paddle
    int dash;  // DSR: the dash paddle
    bool operator==(const InputKeys&) const = default;
};

// Left Ctrl and Right Ctrl, what most adapters type.
InputKeys defaultInputKeys();

// A key by its name: "LEFTCTRL" or "KEY_LEFTCTRL" in any case, or the character it types ("[",
// "]", "a", "1", ...). Only keys a paddle adapter may be set to type are known: letters, digits,
// punctuation, Space, Enter, Tab, the Ctrl, Shift, Alt and Meta keys, F1-F12 and the arrows.
std::optional<int> inputKeyCode(const std::string& name);
// The name kept in the settings ("LEFTCTRL"); empty for a code not in the list.
std::string inputKeyName(int code);
// "DOT,DASH" as --input-keys takes it: two different known keys.
std::optional<InputKeys> parseInputKeys(const std::string& text);

// The device's events, one at a time, as read: key presses and releases of the two keys count
// when their report ends (SYN_REPORT); auto-repeat and every other key are ignored; a report
// cut off by the kernel (SYN_DROPPED) is thrown away and the keys are set afresh by resync().
class InputKeyLines {
  public:
    static constexpr std::uint32_t kCts = 0x10;
    static constexpr std::uint32_t kDsr = 0x20;

    explicit InputKeyLines(InputKeys keys) : keys_(keys) {}

    // One event. Returns whether the lines changed with it.
    bool event(int type, int code, int value);
    // The keys as the device holds them now (on opening, and after events were dropped).
    bool resync(bool dotDown, bool dashDown);
    std::uint32_t lines() const { return lines_; }
    bool inSync() const { return !dropped_; }
    const InputKeys& keys() const { return keys_; }

  private:
    const InputKeys keys_;
    std::uint32_t lines_ = 0;
    std::uint32_t pending_ = 0;
    bool dropped_ = false;
};

}  // namespace keytut
