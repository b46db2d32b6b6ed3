// A side-tone voice on a virtual clock: the test says when ticks pass; every tick's tone is kept.
#pragma once

#include <functional>
#include <string>

#include "keying/sidetone.h"

namespace keytut::testing {

class FakeSidetone : public SidetoneVoice {
  public:
    explicit FakeSidetone(std::function<void()> onClose) : onClose_(std::move(onClose)) {}
    ~FakeSidetone() override {
        if (onClose_)
            onClose_();
    }

    void setTickHandler(TickHandler tick) override { tick_ = std::move(tick); }
    void setTone(bool on) override { tone_ = on; }
    bool lost() const override { return lost_; }
    bool pause() override {
        if (!pausable)
            return false;
        paused = true;
        ++pauses;
        return true;
    }
    void resume() override { paused = false; }

    // One tick: the handler runs, and the tone it leaves is what that tick's block plays. A
    // paused voice plays nothing ('_') and ticks nobody.
    void tick() {
        if (paused) {
            tones += '_';
        } else {
            if (tick_)
                tick_();
            tones += tone_ ? '#' : '.';
        }
        ++ticks;
    }

    bool tone() const { return tone_; }
    std::string tones;  // '#' for a tick with the tone, '.' for one without
    long ticks = 0;
    bool lost_ = false;
    bool pausable = false;  // otherwise it ticks on, as a voice that cannot pause
    bool paused = false;
    int pauses = 0;

  private:
    std::function<void()> onClose_;
    TickHandler tick_;
    bool tone_ = false;
};

}  // namespace keytut::testing
