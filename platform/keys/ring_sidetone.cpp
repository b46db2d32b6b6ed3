#include "ring_sidetone.h"

namespace keytut::keys {

RingSidetone::RingSidetone(std::unique_ptr<audio::WaveOut> device, const SineTable& sine)
    : device_(std::move(device)), sine_(sine) {
    device_->setDoneHandler([this](std::uint64_t tag) {
        if (tick_)
            tick_();
        queue(tag);
    });
    for (int i = 0; i < kBuffers; ++i)
        queue(static_cast<std::uint64_t>(i));
}

RingSidetone::~RingSidetone() {
    device_->setDoneHandler({});
    device_->reset();
}

void RingSidetone::queue(std::uint64_t tag) {
    // Four whole cycles of the 800 Hz tone, or silence (the table's first entry is 0).
    std::array<std::int16_t, kSamples> samples{};
    for (int i = 0; i < kSamples; ++i)
        samples[i] = tone_ ? sine_[i % 10] : 0;
    device_->write(samples, tag);
}

}  // namespace keytut::keys
