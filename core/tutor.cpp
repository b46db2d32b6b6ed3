#include "tutor.h"

namespace keytut {

Tutor::Tutor(Edition edition)
    : edition(edition),
      sineTable(buildSineTable(toneAmplitude(edition))),
      sampleBuffer(kSampleBufferSize) {}

Tutor::~Tutor() {
    if (waveOut_) waveOut_->setDoneHandler(nullptr);
}

bool Tutor::loadData(const std::filesystem::path& folder, MessageSink& messages) {
    if (!loadCodeTable(codes, folder, messages)) return false;
    loadPracticeData(data, folder, edition, messages);
    return true;
}

void Tutor::attachWaveOut(std::unique_ptr<audio::WaveOut> device) {
    if (waveOut_) waveOut_->setDoneHandler(nullptr);
    waveOut_ = std::move(device);
    inFlight_ = false;
    if (waveOut_) {
        waveOut_->setDoneHandler([this](std::uint64_t tag) { sendNextCharacter(tag); });
    }
}

void Tutor::writeCharacter(char character) {
    workText.assign(1, character);
    sampleCount = synthesiseCharacter(character, codes, sineTable, timing, sampleBuffer);
    if (!waveOut_) return;
    inFlight_ = true;
    waveOut_->write(std::span<const std::int16_t>(sampleBuffer.data(), sampleCount), ++lastTag_);
}

void Tutor::startSending(const std::string& text) {
    // The old text's buffer is dropped rather than overwritten while it plays; its notice, if one
    // is still on the way, no longer matches and is ignored.
    if (inFlight_ && waveOut_) waveOut_->reset();
    sendText = text;
    sendLen = static_cast<int>(text.size());
    sendPos = 2;
    if (text.empty()) {
        // Nothing to play, but the window still hears that the text has finished, after an
        // empty buffer, as after any other text.
        workText.clear();
        sampleCount = 0;
        if (!waveOut_) return;
        inFlight_ = true;
        waveOut_->write({}, ++lastTag_);
        return;
    }
    writeCharacter(text[0]);
}

void Tutor::sendNextCharacter(std::uint64_t tag) {
    if (!inFlight_ || tag != lastTag_) return;
    inFlight_ = false;
    if (sendLen >= sendPos) {
        writeCharacter(sendText.at(static_cast<std::size_t>(sendPos - 1)));
        ++sendPos;
    } else if (exerciseWindow) {
        exerciseWindow->post(SendDoneMessage, 0, 0);
    }
}

}  // namespace keytut
