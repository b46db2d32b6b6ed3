// The sender: plays a text in Morse through its own sound device, one character per buffer.
//
// The first character is synthesised and written at once; each time the device reports the
// buffer done, the next one is written; after the last, the end of the text is reported to
// whoever asked for it to be played. A text started while another plays replaces it at once:
// the old buffer is dropped and its end is never reported, and a notice of it that is still on
// its way is recognised by its tag and ignored, so it never advances the new text nor reports a
// second end.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "code_table.h"
#include "synthesis.h"
#include "wave_out.h"

namespace keytut {

class Sender {
  public:
    // The code table, tone and speeds are read at each character, so that a speed or pitch
    // chosen in the main window applies to the next text.
    Sender(const CodeTable& codes, const Tone& tone, const Timing& timing);
    ~Sender();
    Sender(const Sender&) = delete;
    Sender& operator=(const Sender&) = delete;

    // The sender's device; its done notices advance the text. Without one, nothing is played
    // and no end is reported.
    void attach(std::unique_ptr<audio::WaveOut> device);
    audio::WaveOut* device() const { return device_.get(); }

    // Told once when a text has been sent. A screen hands in a call that goes nowhere once it
    // has closed.
    using TextDone = std::function<void()>;

    // Plays `text` and calls `onDone` after its last buffer; an empty text is reported finished
    // after an empty buffer, as any other.
    void play(const std::string& text, TextDone onDone);
    // Nothing more is sent after the character that is playing; its end is still reported.
    void stop();
    // The device finished the buffer written with `tag`.
    void deviceDone(std::uint64_t tag);

    // True while a buffer of the sender is queued on the device.
    bool sending() const { return inFlight_; }
    // True while characters of the text remain to be written.
    bool hasMore() const { return position_ < end_; }
    // The text last started and the 0-based position of the next character to write.
    const std::string& text() const { return text_; }
    std::size_t position() const { return position_; }
    // The character last synthesised (empty for an empty text), and its samples.
    const std::string& character() const { return character_; }
    std::span<const std::int16_t> samples() const { return {buffer_.data(), sampleCount_}; }
    std::size_t sampleCount() const { return sampleCount_; }

  private:
    void write(char character);

    const CodeTable& codes_;
    const Tone& tone_;
    const Timing& timing_;
    std::unique_ptr<audio::WaveOut> device_;
    TextDone onDone_;
    std::string text_;
    std::size_t position_ = 0;
    std::size_t end_ = 0;  // position_ == end_: nothing more to write
    std::string character_;
    std::vector<std::int16_t> buffer_;
    std::size_t sampleCount_ = 0;
    std::uint64_t tag_ = 0;
    bool inFlight_ = false;
};

}  // namespace keytut
