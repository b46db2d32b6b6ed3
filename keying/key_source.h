// The Morse key as the decode screens see it: a source of the serial port's modem-status word,
// opened from the port setting as typed, with RTS held on while it is open and closed when the
// source is destroyed. Only CTS (the straight key, the dot paddle) and DSR (the dash paddle) mean
// anything; RING and carrier detect are never looked at.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <variant>

namespace keytut {

constexpr std::uint32_t MS_CTS_ON = 0x0010;
constexpr std::uint32_t MS_DSR_ON = 0x0020;
constexpr std::uint32_t MS_RING_ON = 0x0040;
constexpr std::uint32_t MS_RLSD_ON = 0x0080;

class KeySource {
  public:
    virtual ~KeySource() = default;
    // The modem-status word now. A read that fails gives the last word read.
    virtual std::uint32_t readKeyLines() = 0;
    // The device has gone (unplugged, or it failed): the lines no longer change. The reason is
    // for the learner; the screen reports it once.
    virtual bool failed() const { return false; }
    // A source that learns of a change the moment it happens (the keyboard) calls `changed`
    // then, so that the tone need not wait for the next poll; the others are only polled.
    virtual void setChangeHandler(std::function<void()> changed) { (void)changed; }
    // True for a source that calls the change handler at every change, so that nobody needs to
    // look at the lines while the screen rests.
    virtual bool tellsEveryChange() const { return false; }
    // For a source that changes on a schedule (a script): milliseconds until its next change,
    // kNever when it changes no more; nothing for a source that has to be looked at.
    static constexpr std::int64_t kNever = INT64_MAX;
    virtual std::optional<std::int64_t> msUntilChange() const { return std::nullopt; }
    // For a terminal whose modem lines are looked at: its descriptor, which another thread may
    // read the lines from; -1 for the others.
    virtual int modemLinesDescriptor() const { return -1; }
};

// The longest port number the port box takes: "COM1" to "COM999" (leading zeros kept as typed).
constexpr std::size_t kMaxPortDigits = 3;

// The messages of a port that cannot be opened, with their title.
inline const char* const kCommPortErrorTitle = "Comm Port Error";
inline const char* const kNoCommPortMessage = "No Comm Port Selected";
std::string cantOpenPortMessage(const std::string& portText);

// Where a port number as typed leads.
struct KeyPortChoice {
    enum class Kind {
        None,       // the box is empty
        Serial,     // a serial device: `device`
        Keyboard,   // Left/Right Ctrl and the mouse buttons
        Simulated,  // a script of line states: the file `device`
        Midi,       // a MIDI key adapter: the raw-MIDI device node `device`
        Input,      // a keyboard-type key adapter: the input device `device`
    };
    Kind kind = Kind::None;
    std::string device;
};

// `--port N=DEVICE` wins ("keyboard", "sim:FILE", "midi:DEVICE", "input:DEVICE" or a serial
// device's path); otherwise "COM"n with n from
// 1 and no leading zero is /dev/ttyS(n-1); anything else is a device that does not exist.
KeyPortChoice resolveKeyPort(const std::string& portText,
                             const std::map<std::string, std::string>& portDevices);

// Why a key port could not be opened: shown in a message box titled kCommPortErrorTitle.
struct KeyPortError {
    std::string message;
};

using KeyPortResult = std::variant<std::unique_ptr<KeySource>, KeyPortError>;

}  // namespace keytut
