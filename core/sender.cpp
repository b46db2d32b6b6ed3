#include "sender.h"

namespace keytut {

Sender::Sender(const CodeTable& codes, const Tone& tone, const Timing& timing)
    : codes_(codes), tone_(tone), timing_(timing), buffer_(kSampleBufferSize) {}

Sender::~Sender() {
    if (device_)
        device_->setDoneHandler(nullptr);
}

void Sender::attach(std::unique_ptr<audio::WaveOut> device) {
    if (device_)
        device_->setDoneHandler(nullptr);
    device_ = std::move(device);
    inFlight_ = false;
    if (device_)
        device_->setDoneHandler([this](std::uint64_t tag) { deviceDone(tag); });
}

void Sender::write(char character) {
    character_.assign(1, character);
    sampleCount_ = synthesiseCharacter(character, codes_, tone_, timing_, buffer_);
    if (!device_)
        return;
    inFlight_ = true;
    device_->write(samples(), ++tag_);
}

void Sender::play(const std::string& text, TextDone onDone) {
    // The old text's buffer is dropped rather than overwritten while it plays; its notice, if one
    // is still on the way, no longer matches and is ignored.
    if (inFlight_ && device_)
        device_->reset();
    text_ = text;
    onDone_ = std::move(onDone);
    end_ = text_.size();
    if (text_.empty()) {
        position_ = 0;
        character_.clear();
        sampleCount_ = 0;
        if (!device_)
            return;
        inFlight_ = true;
        device_->write({}, ++tag_);
        return;
    }
    position_ = 1;
    write(text_[0]);
}

void Sender::stop() {
    end_ = position_;
}

void Sender::deviceDone(std::uint64_t tag) {
    if (!inFlight_ || tag != tag_)
        return;
    inFlight_ = false;
    if (position_ < end_) {
        write(text_[position_]);
        ++position_;
    } else if (onDone_) {
        // The call may start the next text, which brings its own.
        auto done = std::move(onDone_);
        onDone_ = nullptr;
        done();
    }
}

}  // namespace keytut
