// MIDI as a key adapter speaks it: a byte parser for the stream read from a raw-MIDI device, and
// the adapter's side of the talk (a class-compliant USB key adapter of the Vail kind).
//
// The adapter boots in keyboard mode, where its paddles type Left and Right Ctrl. Controller 0
// (B0 00 vv) switches it between keyboard and MIDI mode, and the adapter sends that message back
// as it took it. In MIDI mode, with the adapter's own keyer set to pass-through (program change
// C0 00), it sends note on 90 nn 7F and note off 80 nn for note 0 (a straight key, or the
// adapter's own keyer), note 1 (the dot paddle) and note 2 (the dash paddle).
//
// Which value of controller 0 means which mode is not the same in every description of the
// adapter: its firmware takes 00-3F for MIDI and 40-7F for keyboard, an older protocol note says
// the opposite. So the value is not trusted: the program asks MIDI mode with 00, reads the echo
// for the value the adapter took, and goes back to keyboard mode on closing with a value from
// the other half. Should the adapter's paddles then come as Ctrl keys instead of notes, that
// value meant keyboard mode on this adapter, and the other one is asked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace keytut {

struct MidiMessage {
    std::uint8_t status = 0;  // 0x80..0xEF with the channel, or 0xF1..0xFF
    std::uint8_t data1 = 0;
    std::uint8_t data2 = 0;

    std::uint8_t kind() const { return status < 0xF0 ? status & 0xF0 : status; }
    std::uint8_t channel() const { return status & 0x0F; }
    // A note on with velocity 0 is a note off.
    bool noteOn() const { return kind() == 0x90 && data2 != 0; }
    bool noteOff() const { return kind() == 0x80 || (kind() == 0x90 && data2 == 0); }
};

// Splits a byte stream into messages: running status for the channel messages; real-time bytes
// (F8-FF) delivered wherever they come, even inside another message, without disturbing it;
// system exclusive (F0 ... F7) skipped whole; data bytes that belong to no message dropped.
class MidiParser {
  public:
    using Handler = std::function<void(const MidiMessage&)>;
    void feed(const std::uint8_t* bytes, std::size_t count, const Handler& handler);

  private:
    std::uint8_t status_ = 0;  // the running status, or a system common message under way
    std::uint8_t data_[2] = {};
    int have_ = 0;
    bool inSysex_ = false;
};

class MidiKeyAdapter {
  public:
    static constexpr std::uint32_t kCts = 0x10;
    static constexpr std::uint32_t kDsr = 0x20;

    // What to send on opening: MIDI mode (B0 00 00), then pass-through (C0 00).
    std::vector<std::uint8_t> opening() const;
    // Bytes read from the adapter. Returns whether the key lines changed.
    bool received(const std::uint8_t* bytes, std::size_t count);
    // Notes 0 and 1 are CTS, note 2 is DSR.
    std::uint32_t lines() const;

    // The adapter's paddles have come as keyboard keys. Before any note, once the adapter has
    // echoed the mode asked, the value sent meant keyboard mode here: returns the bytes that ask
    // the other one (nothing otherwise).
    std::vector<std::uint8_t> keyboardKeysSeen();
    // What to send on closing: keyboard mode.
    std::vector<std::uint8_t> closing() const;

    bool echoed() const { return echoed_; }
    bool notesSeen() const { return notesSeen_; }
    std::uint8_t midiModeValue() const { return midiValue_; }
    std::uint8_t keyboardModeValue() const { return keyboardValue_; }

  private:
    void onMessage(const MidiMessage& message);

    MidiParser parser_;
    bool notes_[3] = {false, false, false};
    std::uint8_t midiValue_ = 0x00;
    std::uint8_t keyboardValue_ = 0x7F;
    bool echoed_ = false;
    bool notesSeen_ = false;
};

}  // namespace keytut
