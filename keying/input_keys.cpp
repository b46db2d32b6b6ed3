#include "input_keys.h"

#include <algorithm>
#include <cctype>

#if __has_include(<linux/input-event-codes.h>)
#include <linux/input-event-codes.h>
#define KEYTUT_INPUT_CODES 1
#endif

namespace keytut {

namespace {

struct NamedKey {
    const char* name;
    int code;
    const char* typed;  // the character the key types, "" for none
};

const std::vector<NamedKey>& namedKeys() {
    static const std::vector<NamedKey> keys{
#ifdef KEYTUT_INPUT_CODES
        {"LEFTCTRL", KEY_LEFTCTRL, ""},
        {"RIGHTCTRL", KEY_RIGHTCTRL, ""},
        {"LEFTSHIFT", KEY_LEFTSHIFT, ""},
        {"RIGHTSHIFT", KEY_RIGHTSHIFT, ""},
        {"LEFTALT", KEY_LEFTALT, ""},
        {"RIGHTALT", KEY_RIGHTALT, ""},
        {"LEFTMETA", KEY_LEFTMETA, ""},
        {"RIGHTMETA", KEY_RIGHTMETA, ""},
        {"LEFTBRACE", KEY_LEFTBRACE, "["},
        {"RIGHTBRACE", KEY_RIGHTBRACE, "]"},
        {"SEMICOLON", KEY_SEMICOLON, ";"},
        {"APOSTROPHE", KEY_APOSTROPHE, "'"},
        {"GRAVE", KEY_GRAVE, "`"},
        {"BACKSLASH", KEY_BACKSLASH, "\\"},
        {"COMMA", KEY_COMMA, ","},
        {"DOT", KEY_DOT, "."},
        {"SLASH", KEY_SLASH, "/"},
        {"MINUS", KEY_MINUS, "-"},
        {"EQUAL", KEY_EQUAL, "="},
        {"SPACE", KEY_SPACE, " "},
        {"ENTER", KEY_ENTER, ""},
        {"TAB", KEY_TAB, ""},
        {"UP", KEY_UP, ""},
        {"DOWN", KEY_DOWN, ""},
        {"LEFT", KEY_LEFT, ""},
        {"RIGHT", KEY_RIGHT, ""},
        {"A", KEY_A, "a"},
        {"B", KEY_B, "b"},
        {"C", KEY_C, "c"},
        {"D", KEY_D, "d"},
        {"E", KEY_E, "e"},
        {"F", KEY_F, "f"},
        {"G", KEY_G, "g"},
        {"H", KEY_H, "h"},
        {"I", KEY_I, "i"},
        {"J", KEY_J, "j"},
        {"K", KEY_K, "k"},
        {"L", KEY_L, "l"},
        {"M", KEY_M, "m"},
        {"N", KEY_N, "n"},
        {"O", KEY_O, "o"},
        {"P", KEY_P, "p"},
        {"Q", KEY_Q, "q"},
        {"R", KEY_R, "r"},
        {"S", KEY_S, "s"},
        {"T", KEY_T, "t"},
        {"U", KEY_U, "u"},
        {"V", KEY_V, "v"},
        {"W", KEY_W, "w"},
        {"X", KEY_X, "x"},
        {"Y", KEY_Y, "y"},
        {"Z", KEY_Z, "z"},
        {"1", KEY_1, "1"},
        {"2", KEY_2, "2"},
        {"3", KEY_3, "3"},
        {"4", KEY_4, "4"},
        {"5", KEY_5, "5"},
        {"6", KEY_6, "6"},
        {"7", KEY_7, "7"},
        {"8", KEY_8, "8"},
        {"9", KEY_9, "9"},
        {"0", KEY_0, "0"},
        {"F1", KEY_F1, ""},
        {"F2", KEY_F2, ""},
        {"F3", KEY_F3, ""},
        {"F4", KEY_F4, ""},
        {"F5", KEY_F5, ""},
        {"F6", KEY_F6, ""},
        {"F7", KEY_F7, ""},
        {"F8", KEY_F8, ""},
        {"F9", KEY_F9, ""},
        {"F10", KEY_F10, ""},
        {"F11", KEY_F11, ""},
        {"F12", KEY_F12, ""},
#endif
    };
    return keys;
}

#ifdef KEYTUT_INPUT_CODES
constexpr int kKeyEvents = EV_KEY;
constexpr int kSyncEvents = EV_SYN;
constexpr int kReport = SYN_REPORT;
constexpr int kDropped = SYN_DROPPED;
#else
constexpr int kKeyEvents = 1;
constexpr int kSyncEvents = 0;
constexpr int kReport = 0;
constexpr int kDropped = 3;
#endif

std::string upper(std::string text) {
    for (auto& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

InputKeys defaultInputKeys() {
    return {*inputKeyCode("LEFTCTRL"), *inputKeyCode("RIGHTCTRL")};
}

std::optional<int> inputKeyCode(const std::string& name) {
    const auto& keys = namedKeys();
    // The character typed, as it is ("a" and "A" are the same key).
    for (const auto& key : keys) {
        if (*key.typed != '\0' && upper(name) == upper(key.typed))
            return key.code;
    }
    std::string wanted = upper(name);
    if (wanted.rfind("KEY_", 0) == 0)
        wanted.erase(0, 4);
    for (const auto& key : keys) {
        if (wanted == key.name)
            return key.code;
    }
    return std::nullopt;
}

std::string inputKeyName(int code) {
    for (const auto& key : namedKeys()) {
        if (key.code == code)
            return key.name;
    }
    return "";
}

std::optional<InputKeys> parseInputKeys(const std::string& text) {
    // Either key may be the comma itself (",,]" is Comma and ]): the split is where both halves
    // name a key.
    for (auto comma = text.find(','); comma != std::string::npos;
         comma = text.find(',', comma + 1)) {
        const auto dot = inputKeyCode(text.substr(0, comma));
        const auto dash = inputKeyCode(text.substr(comma + 1));
        if (dot && dash && *dot != *dash)
            return InputKeys{*dot, *dash};
    }
    return std::nullopt;
}

bool InputKeyLines::event(int type, int code, int value) {
    if (type == kSyncEvents && code == kDropped) {
        dropped_ = true;
        return false;
    }
    if (dropped_)
        return false;  // until resync()
    if (type == kKeyEvents && (value == 0 || value == 1)) {
        const std::uint32_t bit = code == keys_.dot ? kCts : code == keys_.dash ? kDsr : 0;
        pending_ = value == 1 ? (pending_ | bit) : (pending_ & ~bit);
        return false;
    }
    if (type == kSyncEvents && code == kReport && pending_ != lines_) {
        lines_ = pending_;
        return true;
    }
    return false;
}

bool InputKeyLines::resync(bool dotDown, bool dashDown) {
    dropped_ = false;
    pending_ = (dotDown ? kCts : 0) | (dashDown ? kDsr : 0);
    const bool changed = pending_ != lines_;
    lines_ = pending_;
    return changed;
}

}  // namespace keytut
