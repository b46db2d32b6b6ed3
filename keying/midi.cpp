#include "midi.h"

namespace keytut {

namespace {

constexpr std::uint8_t kControlChange = 0xB0;
constexpr std::uint8_t kProgramChange = 0xC0;
constexpr std::uint8_t kModeController = 0x00;
constexpr std::uint8_t kPassThrough = 0x00;

// How many data bytes follow a status byte.
int dataCount(std::uint8_t status) {
    if (status < 0xF0) {
        const std::uint8_t kind = status & 0xF0;
        return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
    }
    switch (status) {
        case 0xF1:  // time code quarter frame
        case 0xF3:  // song select
            return 1;
        case 0xF2:  // song position
            return 2;
        default:
            return 0;
    }
}

}  // namespace

void MidiParser::feed(const std::uint8_t* bytes, std::size_t count, const Handler& handler) {
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t b = bytes[i];
        if (b >= 0xF8) {
            // Real time (clock, active sensing...): on its own, whatever it interrupts.
            handler(MidiMessage{b, 0, 0});
            continue;
        }
        if (b & 0x80) {
            // A status byte ends whatever came before, a system exclusive too.
            have_ = 0;
            inSysex_ = b == 0xF0;
            if (b == 0xF0 || b == 0xF7 || b == 0xF4 || b == 0xF5) {
                status_ = 0;  // and no running status after them
                continue;
            }
            status_ = b;
            if (dataCount(b) == 0) {
                handler(MidiMessage{b, 0, 0});  // tune request
                status_ = 0;
            }
            continue;
        }
        if (inSysex_ || status_ == 0)
            continue;  // inside a system exclusive, or a data byte of no message
        data_[have_++] = b;
        if (have_ == dataCount(status_)) {
            handler(MidiMessage{status_, data_[0], have_ > 1 ? data_[1] : std::uint8_t{0}});
            have_ = 0;
            if (status_ >= 0xF0)
                status_ = 0;  // system common messages leave no running status
        }
    }
}

std::vector<std::uint8_t> MidiKeyAdapter::opening() const {
    return {kControlChange, kModeController, midiValue_, kProgramChange, kPassThrough};
}

bool MidiKeyAdapter::received(const std::uint8_t* bytes, std::size_t count) {
    const std::uint32_t before = lines();
    parser_.feed(bytes, count, [this](const MidiMessage& m) { onMessage(m); });
    return lines() != before;
}

void MidiKeyAdapter::onMessage(const MidiMessage& m) {
    if (m.status == kControlChange && m.data1 == kModeController) {
        // The adapter tells the value it took for the mode asked, MIDI mode; keyboard mode is
        // in the other half of the range.
        echoed_ = true;
        midiValue_ = m.data2;
        keyboardValue_ = m.data2 < 0x40 ? 0x7F : 0x00;
        return;
    }
    if ((m.noteOn() || m.noteOff()) && m.data1 <= 2) {
        notes_[m.data1] = m.noteOn();
        notesSeen_ = true;
    }
}

std::uint32_t MidiKeyAdapter::lines() const {
    return (notes_[0] || notes_[1] ? kCts : 0) | (notes_[2] ? kDsr : 0);
}

std::vector<std::uint8_t> MidiKeyAdapter::keyboardKeysSeen() {
    if (!echoed_ || notesSeen_)
        return {};
    // Ask the other value, and wait for its echo before drawing the same conclusion again.
    echoed_ = false;
    const std::uint8_t other = keyboardValue_;
    keyboardValue_ = midiValue_;
    midiValue_ = other;
    return {kControlChange, kModeController, midiValue_};
}

std::vector<std::uint8_t> MidiKeyAdapter::closing() const {
    return {kControlChange, kModeController, keyboardValue_};
}

}  // namespace keytut
