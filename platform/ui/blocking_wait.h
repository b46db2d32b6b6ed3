// Waits that hold up the screens without losing the learner's keys.
//
// A blocking wait holds the learner's input (it is delivered, in order, after the wait), keeps the
// sound device's notices flowing, and holds back the screens' posted messages and poller ticks,
// so that no screen handler runs in the middle of another. holdFor() does it from a timer, the
// screens' delays; waitUntil() runs a local event loop and is left only where a caller must have
// the result before it goes on (the lesson's wrong-key ding, played before the character again).
// Escape is the exception: pressed during a wait it ends every wait at once and is delivered
// first, and the keys and clicks held before it are dropped, so that a learner can always leave
// a screen at once, however many keys they pressed before. (Held keys are delivered to the
// window or control they went to; no shortcut acts on them.)
#pragma once

#include <functional>

class QObject;

namespace keytut::ui {

// A hold of `ms` milliseconds without a nested event loop: returns at once, and runs `then` when
// the time is up, or at once after an Escape, once the held Escape has been delivered. Meanwhile
// everything is held as during waitUntil(). `then` runs only while `context` lives.
void holdFor(int ms, QObject* context, std::function<void()> then);

// Returns once `finished` is true (checked whenever an event has been handled and every
// 10 ms) or after `timeoutMs` milliseconds.
void waitUntil(const std::function<bool()>& finished, int timeoutMs);

// True while a blocking wait runs.
bool blockingWaitActive();

// Runs `action` once the outermost blocking wait has ended (at once when none runs).
void afterBlockingWait(std::function<void()> action);

}  // namespace keytut::ui
