// The MIDI parser and the key adapter on any bytes, as a raw-MIDI node may deliver them: the
// messages are the same however the stream is cut into reads, each is well formed, and the key
// lines are only ever CTS and DSR.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "keying/midi.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    // The first byte chooses the length of the reads.
    const std::size_t piece = data[0] % 16 + 1;
    ++data;
    --size;

    std::vector<keytut::MidiMessage> whole, cut;
    keytut::MidiParser once, inPieces;
    once.feed(data, size, [&](const keytut::MidiMessage& m) { whole.push_back(m); });
    for (std::size_t i = 0; i < size; i += piece) {
        const std::size_t n = size - i < piece ? size - i : piece;
        inPieces.feed(data + i, n, [&](const keytut::MidiMessage& m) { cut.push_back(m); });
    }
    if (whole.size() != cut.size())
        std::abort();
    for (std::size_t i = 0; i < whole.size(); ++i) {
        const auto& m = whole[i];
        if (m.status != cut[i].status || m.data1 != cut[i].data1 || m.data2 != cut[i].data2)
            std::abort();
        if (m.status < 0x80 || m.data1 >= 0x80 || m.data2 >= 0x80)
            std::abort();
    }

    keytut::MidiKeyAdapter adapter;
    adapter.received(data, size);
    if ((adapter.lines() & ~0x30u) != 0)
        std::abort();
    // Keyboard mode as the echo showed it: the other half of the range from the value taken.
    auto closing = adapter.closing();
    if (closing.size() != 3 || (closing[2] != 0x00 && closing[2] != 0x7F))
        std::abort();
    // After Ctrl keys, the value taken for MIDI mode is the one that gave keyboard mode.
    const std::uint8_t taken = adapter.midiModeValue();
    if (!adapter.keyboardKeysSeen().empty() && adapter.closing()[2] != taken)
        std::abort();
    return 0;
}
