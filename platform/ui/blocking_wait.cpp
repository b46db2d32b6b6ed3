#include "blocking_wait.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <deque>
#include <memory>
#include <utility>
#include <vector>

namespace keytut::ui {

namespace {

int waitDepth = 0;
int waitsStarted = 0;
std::vector<std::function<void()>> heldBack;
std::vector<QPointer<QTimer>> timedHolds;  // holdFor()'s, each ending its hold

// The learner's input that came while a wait ran, in order, for the window or control it went
// to; delivered once the outermost wait has ended.
struct HeldInput {
    QPointer<QObject> receiver;
    std::unique_ptr<QEvent> event;
};
std::deque<HeldInput> heldInput;
bool escapeHeld = false;  // an Escape among it: every wait ends at once
bool replayPosted = false;

bool isUserInput(QEvent::Type type) {
    switch (type) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TouchCancel:
        case QEvent::TabletPress:
        case QEvent::TabletMove:
        case QEvent::TabletRelease:
            return true;
        default:
            return false;
    }
}

bool isEscape(const QEvent& event) {
    if (event.type() != QEvent::KeyPress)
        return false;
    const auto& key = static_cast<const QKeyEvent&>(event);
    return key.key() == Qt::Key_Escape &&
           (key.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier |
                               Qt::MetaModifier)) == Qt::NoModifier;
}

void replayHeldInput(bool untilEmpty);

void postReplay() {
    if (replayPosted || heldInput.empty())
        return;
    replayPosted = true;
    QMetaObject::invokeMethod(
        qApp,
        [] {
            replayPosted = false;
            replayHeldInput(false);
        },
        Qt::QueuedConnection);
}

// Delivers what was held, oldest first, as it would have arrived. Unless `untilEmpty`, it stops
// after an input whose handler waited, so that the messages that wait held back come first.
void replayHeldInput(bool untilEmpty) {
    while (!heldInput.empty() && waitDepth == 0) {
        HeldInput next = std::move(heldInput.front());
        heldInput.pop_front();
        const int started = waitsStarted;
        if (next.receiver)
            QCoreApplication::sendEvent(next.receiver, next.event.get());
        if (!untilEmpty && waitsStarted != started)
            break;
    }
    postReplay();
}

// Holds the input that comes while a wait runs. Keys and clicks are neither lost nor handled in
// the middle of another handler; Escape ends the wait at once, and what was pressed before it is
// dropped (its key releases are kept): whatever the learner did before, they can leave.
class InputHold : public QObject {
  protected:
    bool eventFilter(QObject* receiver, QEvent* event) override {
        if (waitDepth == 0)
            return false;
        if (event->type() == QEvent::ShortcutOverride) {
            // Taken as a plain key, held like the others: no shortcut acts during a wait.
            event->accept();
            return true;
        }
        if (!isUserInput(event->type()) || !(receiver->isWidgetType() || receiver->isWindowType()))
            return false;
        if (isEscape(*event)) {
            std::erase_if(heldInput, [](const HeldInput& held) {
                return held.event->type() != QEvent::KeyRelease;
            });
            escapeHeld = true;
            // Ended after this filter has returned, with the Escape among the held input.
            for (const auto& timer : timedHolds) {
                if (timer)
                    timer->start(0);
            }
        }
        heldInput.push_back({receiver, std::unique_ptr<QEvent>(event->clone())});
        return true;
    }
};

void holdInput() {
    static QPointer<InputHold> hold;
    if (!hold && qApp) {
        hold = new InputHold;
        hold->setParent(qApp);
        qApp->installEventFilter(hold);
    }
}

void startWait() {
    holdInput();
    ++waitDepth;
    ++waitsStarted;
}

void finishWait() {
    if (--waitDepth > 0)
        return;
    if (escapeHeld) {
        // The Escape first: the screen closes, and what its waits held back goes nowhere.
        escapeHeld = false;
        replayHeldInput(true);
    }
    // Actions may start new waits; those collect their own.
    auto actions = std::exchange(heldBack, {});
    for (auto& action : actions)
        action();
    postReplay();
}

}  // namespace

bool blockingWaitActive() {
    return waitDepth > 0;
}

void afterBlockingWait(std::function<void()> action) {
    if (waitDepth == 0) {
        action();
        return;
    }
    heldBack.push_back(std::move(action));
}

void holdUntil(std::function<bool()> finished, int timeoutMs, QObject* context,
               std::function<void()> then) {
    startWait();
    auto* timer = new QTimer(qApp);
    timer->setSingleShot(true);
    timedHolds.emplace_back(timer);
    QElapsedTimer clock;
    clock.start();
    auto left = [clock, timeoutMs] {
        return static_cast<int>(std::max<qint64>(timeoutMs - clock.elapsed(), 0));
    };
    // An Escape restarts every hold's timer at 0 and ends them all; so does the end of the
    // context, which leaves nothing to wait for.
    auto over = [left, finished, context = QPointer<QObject>(context)] {
        return !context || escapeHeld || left() == 0 || (finished && finished());
    };
    // Without a condition the timer fires once, at the end; with one, every 10 ms until then.
    auto next = [left, polled = static_cast<bool>(finished)] {
        return polled ? std::min(left(), 10) : left();
    };
    QObject::connect(
        timer, &QTimer::timeout, qApp,
        [timer, over, next, context = QPointer<QObject>(context), then = std::move(then)] {
            if (!over()) {
                timer->start(next());
                return;
            }
            std::erase(timedHolds, timer);
            timer->deleteLater();
            finishWait();
            if (context)
                then();
        });
    if (context)
        QObject::connect(context, &QObject::destroyed, timer, [timer] { timer->start(0); });
    timer->start(over() ? 0 : next());
}

void holdFor(int ms, QObject* context, std::function<void()> then) {
    holdUntil(nullptr, ms, context, std::move(then));
}

}  // namespace keytut::ui
