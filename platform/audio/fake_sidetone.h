// A side-tone voice on a virtual clock, for tests: ticks come only when the test calls tick(),
// and the tone is only remembered, with every change, for the test to check.
#pragma once

#include <cstdint>
#include <vector>

#include "core/tone.h"
#include "keying/sidetone.h"

namespace audio {

class FakeSidetoneVoice : public keytut::SidetoneVoice {
  public:
    explicit FakeSidetoneVoice(keytut::ToneSettings settings = {}) : settings_(settings) {}
    // The pitch and edges the voice was opened with.
    const keytut::ToneSettings& settings() const { return settings_; }

    void setTickHandler(TickHandler tick) override { tick_ = std::move(tick); }
    void setTone(bool on) override {
        if (on != tone_)
            changes_.push_back({ticks_, on});
        tone_ = on;
    }
    bool lost() const override { return lost_; }

    // Plays `n` blocks: the tick handler runs once for each.
    void tick(int n = 1) {
        for (int i = 0; i < n; ++i) {
            ++ticks_;
            if (tick_) {
                auto tick = tick_;
                tick();
            }
        }
    }
    void setLost(bool lost) { lost_ = lost; }

    struct Change {
        std::uint64_t tick;  // ticks played before the change
        bool on;
    };
    bool tone() const { return tone_; }
    const std::vector<Change>& changes() const { return changes_; }
    std::uint64_t ticks() const { return ticks_; }

  private:
    keytut::ToneSettings settings_;
    TickHandler tick_;
    bool tone_ = false;
    bool lost_ = false;
    std::uint64_t ticks_ = 0;
    std::vector<Change> changes_;
};

}  // namespace audio
