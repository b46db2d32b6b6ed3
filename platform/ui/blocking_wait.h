// Waits that hold up the screens without losing the learner's keys.
//
// A blocking wait holds the learner's input (it is delivered, in order, after the wait), keeps the
// sound device's notices flowing, and holds back the screens' posted messages and poller ticks,
// so that no screen handler runs in the middle of another. It runs no nested event loop: it
// returns at once and calls back from a timer when it is over. The screens' delays are such
// waits, and so is a sound played to its end (the lesson's wrong-key ding, played before the
// character again).
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
// everything is held, as said above. `then` runs only while `context` lives; the hold
// ends as `context` goes.
void holdFor(int ms, QObject* context, std::function<void()> then);

// The same hold, ended as soon as `finished` is true (checked every 10 ms) or after
// `timeoutMs` milliseconds, whichever comes first.
void holdUntil(std::function<bool()> finished, int timeoutMs, QObject* context,
               std::function<void()> then);

// True while a blocking wait runs.
bool blockingWaitActive();

// Runs `action` once the outermost blocking wait has ended (at once when none runs).
void afterBlockingWait(std::function<void()> action);

}  // namespace keytut::ui
