// The key screens' own voice: a 5 ms clock and a tone that follows the key.
//
// The voice plays without pause while a key screen is open. Every 40 samples it plays are one
// tick, reported on the UI thread at the time those samples are due at the loudspeaker, so the
// ticks come 200 times a second, evenly spaced, and count the time the learner hears; when the
// device stalls (an underrun), the ticks of the time it lost are reported as well, so the clock
// keeps real time. Whether a block carries the tone is decided as late as the device allows:
// setTone() takes effect in the first block the device renders after the call, so the tone
// follows the key within about 15 ms, not after a queue of sound written ahead.
#pragma once

#include <functional>

namespace keytut {

class SidetoneVoice {
  public:
    using TickHandler = std::function<void()>;

    virtual ~SidetoneVoice() = default;

    // Runs on the UI thread once per 40 samples played. Ticks that fall due while the UI thread
    // is busy are delivered later, each one, in order.
    virtual void setTickHandler(TickHandler tick) = 0;

    // Key down (tone) or up (silence), from the next block the device renders. Safe to call
    // from the UI thread at any time, as often as the key changes.
    virtual void setTone(bool on) = 0;

    // True while the device is gone: nothing is heard, but the ticks go on at their pace from
    // the steady clock, so the screen keeps working; the voice plays again when the device is
    // back.
    virtual bool lost() const = 0;

    // The screen has nothing to time until the key moves: the voice may stop playing (and so
    // stop waking the machine 200 times a second) until resume(). True if it stopped; from
    // then on no tick comes, not even one of the blocks already on their way. A voice that
    // cannot stop says false and ticks on.
    virtual bool pause() { return false; }
    // Plays again at once, the tone as set; the ticks start again from the first block
    // rendered after the call, with no ticks for the pause.
    virtual void resume() {}
};

}  // namespace keytut
