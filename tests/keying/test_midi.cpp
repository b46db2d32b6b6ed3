// The MIDI byte parser on the streams an adapter and a busy MIDI port send, and the key
// adapter's talk: the modes asked, the echo read, the notes as key lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "keying/midi.h"

namespace keytut {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The messages of a stream fed in pieces of `piece` bytes, written "90 01 7F" each.
std::vector<std::string> parse(const Bytes& bytes, std::size_t piece = 1000) {
    MidiParser parser;
    std::vector<std::string> out;
    for (std::size_t i = 0; i < bytes.size(); i += piece) {
        parser.feed(bytes.data() + i, std::min(piece, bytes.size() - i), [&](const MidiMessage& m) {
            char text[16];
            std::snprintf(text, sizeof text, "%02X %02X %02X", m.status, m.data1, m.data2);
            out.emplace_back(text);
        });
    }
    return out;
}

TEST(MidiParser, RunningStatusRealTimeAndSystemExclusive) {
    const Bytes stream{
        0x05, 0x7F,              // data before any status: dropped
        0x90, 0x01, 0x7F,        // note on
        0x01, 0x00,              // running status: note on, velocity 0
        0x02, 0xF8, 0x7F,        // a clock inside a message does not disturb it
        0xF0, 0x7D, 0x01, 0x02,  // system exclusive, skipped
        0xFE,                    // active sensing inside it still comes through
        0x03, 0xF7,              //
        0x02, 0x00,              // no running status after a system exclusive: dropped
        0xC0, 0x05, 0x06,        // program change, then again by running status
        0xF2, 0x10, 0x20,        // song position
        0x40, 0x40,              // and no running status after it
        0x80, 0x02,              // cut short by a new status byte...
        0xB0, 0x00, 0x7F,        // ...which is delivered whole
        0xF6,                    // tune request: no data
    };
    const std::vector<std::string> want{
        "90 01 7F", "90 01 00", "F8 00 00", "90 02 7F", "FE 00 00",
        "C0 05 00", "C0 06 00", "F2 10 20", "B0 00 7F", "F6 00 00",
    };
    EXPECT_EQ(parse(stream), want);
    EXPECT_EQ(parse(stream, 1), want);  // byte by byte, as a non-blocking read may give them
    EXPECT_EQ(parse(stream, 3), want);
}

TEST(MidiParser, NoteOnWithVelocityZeroIsANoteOff) {
    MidiMessage on{0x91, 2, 0x40}, silent{0x91, 2, 0}, off{0x81, 2, 0x7F};
    EXPECT_TRUE(on.noteOn());
    EXPECT_FALSE(on.noteOff());
    EXPECT_TRUE(silent.noteOff());
    EXPECT_FALSE(silent.noteOn());
    EXPECT_TRUE(off.noteOff());
    EXPECT_EQ(off.channel(), 1);
}

TEST(MidiKeyAdapter, NotesAreTheKeyLines) {
    MidiKeyAdapter adapter;
    auto feed = [&](Bytes b) { return adapter.received(b.data(), b.size()); };
    EXPECT_TRUE(feed({0x90, 0x00, 0x7F}));  // the straight key (or the adapter's keyer): CTS
    EXPECT_EQ(adapter.lines(), 0x10u);
    EXPECT_FALSE(feed({0x90, 0x01, 0x7F}));  // the dot paddle too: still CTS
    EXPECT_FALSE(feed({0x80, 0x00, 0x7F}));  // the dot paddle still holds CTS
    EXPECT_EQ(adapter.lines(), 0x10u);
    EXPECT_TRUE(feed({0x01, 0x00}));  // running status, velocity 0: the dot paddle let go
    EXPECT_EQ(adapter.lines(), 0u);
    EXPECT_TRUE(feed({0x90, 0x02, 0x7F}));  // the dash paddle: DSR
    EXPECT_EQ(adapter.lines(), 0x20u);
    EXPECT_FALSE(feed({0x90, 0x03, 0x7F, 0x90, 0x3C, 0x40, 0xB0, 0x07, 0x64}));  // not keys
    EXPECT_EQ(adapter.lines(), 0x20u);
    EXPECT_TRUE(feed({0x82, 0x02, 0x00}));
    EXPECT_EQ(adapter.lines(), 0u);
    EXPECT_TRUE(adapter.notesSeen());
}

TEST(MidiKeyAdapter, ModesFollowTheEchoNotOneDescription) {
    {
        // The firmware's own rule: 00 is MIDI mode, and the echo says so.
        MidiKeyAdapter adapter;
        EXPECT_EQ(adapter.opening(), (Bytes{0xB0, 0x00, 0x00, 0xC0, 0x00}));
        Bytes echo{0xB0, 0x00, 0x00};
        adapter.received(echo.data(), echo.size());
        EXPECT_TRUE(adapter.echoed());
        EXPECT_EQ(adapter.closing(), (Bytes{0xB0, 0x00, 0x7F}));
    }
    {
        // An adapter that answers with a value of its own for the mode it went into.
        MidiKeyAdapter adapter;
        Bytes echo{0xB0, 0x00, 0x7F};
        adapter.received(echo.data(), echo.size());
        EXPECT_EQ(adapter.midiModeValue(), 0x7F);
        EXPECT_EQ(adapter.closing(), (Bytes{0xB0, 0x00, 0x00}));
    }
    {
        // Its paddles come as Ctrl keys after the echo: 00 was keyboard mode there. The other
        // value is asked once; the same again waits for that one's echo.
        MidiKeyAdapter adapter;
        EXPECT_TRUE(adapter.keyboardKeysSeen().empty());  // no echo yet: the switch may be late
        Bytes echo{0xB0, 0x00, 0x00};
        adapter.received(echo.data(), echo.size());
        EXPECT_EQ(adapter.keyboardKeysSeen(), (Bytes{0xB0, 0x00, 0x7F}));
        EXPECT_TRUE(adapter.keyboardKeysSeen().empty());
        echo = {0xB0, 0x00, 0x7F};
        adapter.received(echo.data(), echo.size());
        Bytes note{0x90, 0x01, 0x7F};
        adapter.received(note.data(), note.size());
        EXPECT_EQ(adapter.closing(), (Bytes{0xB0, 0x00, 0x00}));
        EXPECT_TRUE(adapter.keyboardKeysSeen().empty());  // notes have come: MIDI mode is on
    }
    {
        // No echo at all (an adapter without the mode switch): keyboard mode as its firmware
        // takes it on closing, harmless to one that ignores it.
        MidiKeyAdapter adapter;
        EXPECT_EQ(adapter.closing(), (Bytes{0xB0, 0x00, 0x7F}));
    }
}

}  // namespace
}  // namespace keytut
