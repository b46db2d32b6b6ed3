// Waits that hold up the screens without losing the learner's keys.
//
// A blocking wait runs a local event loop that holds the learner's input (it is delivered, in
// order, after the wait), keeps the sound device's notices flowing, and holds back the screens'
// posted messages and poller ticks, so that no screen handler runs in the middle of another.
// Escape is the exception: pressed during a wait it ends every wait at once and is delivered
// first, and the keys and clicks held before it are dropped, so that a learner can always leave
// a screen at once, however many keys they pressed before. (Held keys are delivered to the
// window or control they went to; no shortcut acts on them.)
#pragma once

#include <functional>

namespace keytut::ui {

// Returns after `ms` milliseconds.
void pauseFor(int ms);

// Returns once `finished` is true (checked whenever an event has been handled and every
// 10 ms) or after `timeoutMs` milliseconds.
void waitUntil(const std::function<bool()>& finished, int timeoutMs);

// True while a blocking wait runs.
bool blockingWaitActive();

// Runs `action` once the outermost blocking wait has ended (at once when none runs).
void afterBlockingWait(std::function<void()> action);

}  // namespace keytut::ui
