// The program-wide state of either edition, created once at start-up and handed to every screen.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "code_table.h"
#include "practice_data.h"
#include "random.h"
#include "synthesis.h"
#include "window_handle.h"
#include "platform/audio/wave_out.h"

namespace keytut {

constexpr std::size_t kReviewListSize = 31;

class Tutor {
public:
    explicit Tutor(Edition edition);
    ~Tutor();

    // Loads the code table and the practice material from `folder`, in that order. Returns
    // false when the code table cannot be read: the program then ends.
    bool loadData(const std::filesystem::path& folder, MessageSink& messages);

    // The sender's device. Its done notices advance the text being sent.
    void attachWaveOut(std::unique_ptr<audio::WaveOut> device);
    audio::WaveOut* waveOut() const { return waveOut_.get(); }

    // Plays `text` one character per buffer; `SendDoneMessage` goes to exerciseWindow after the
    // last character has played. A text started while another plays replaces it at once.
    void startSending(const std::string& text);
    // The device finished the buffer written with `tag`: write the next character, or report the
    // end of the text. Notices of buffers that a newer text replaced are ignored.
    void sendNextCharacter(std::uint64_t tag);
    // Nothing more is sent after the character that is playing.
    void stopSending() { sendLen = 0; }
    // True while a buffer of the sender is queued on the device.
    bool sending() const { return inFlight_; }

    const Edition edition;

    CodeTable codes;
    PracticeData data;
    SineTable sineTable;
    Timing timing;
    SpeedSettings speeds;
    Random random;

    std::string commPortText;
    std::string workText;

    // The sender's state: the text, the 1-based position of the next character, its length
    // (0: nothing more to send), and the samples of the last synthesis.
    std::string sendText;
    int sendPos = 0;
    int sendLen = 0;
    std::vector<std::int16_t> sampleBuffer;
    std::size_t sampleCount = 0;

    WindowHandle exerciseWindow;

    // The lesson that is open: its number, its stage (0 hearing, 1 recognition, 2 group test)
    // and the characters in play.
    int lessonNumber = 0;
    int lessonStage = 0;
    std::string lessonText;
    // What the last test sent, for Earkey's cursor keys to read back, and the entry shown.
    std::array<std::string, kReviewListSize> reviewList{};
    int reviewIndex = 0;

private:
    void writeCharacter(char character);

    std::unique_ptr<audio::WaveOut> waveOut_;
    std::uint64_t lastTag_ = 0;
    bool inFlight_ = false;
};

}  // namespace keytut
