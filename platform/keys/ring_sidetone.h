// A side-tone voice on a plain WaveOut: a ring of twenty 40-sample buffers released at their
// playback time, each finished buffer one tick, refilled with the tone or silence as the key is
// at that moment. The tone therefore sounds up to 100 ms after the key (the ring's length); it
// stands in where the sound system offers no voice of its own.
#pragma once

#include <array>
#include <memory>

#include "core/synthesis.h"
#include "keying/sidetone.h"
#include "platform/audio/wave_out.h"

namespace keytut::keys {

class RingSidetone : public SidetoneVoice {
  public:
    static constexpr int kBuffers = 20;
    static constexpr int kSamples = 40;

    // `device` must report buffers done at their playback time.
    RingSidetone(std::unique_ptr<audio::WaveOut> device, const SineTable& sine);
    ~RingSidetone() override;

    void setTickHandler(TickHandler tick) override { tick_ = std::move(tick); }
    void setTone(bool on) override { tone_ = on; }
    bool lost() const override { return device_->lost(); }

  private:
    void queue(std::uint64_t tag);

    std::unique_ptr<audio::WaveOut> device_;
    SineTable sine_;
    TickHandler tick_;
    bool tone_ = false;
};

}  // namespace keytut::keys
