#include "blocking_wait.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <utility>
#include <vector>

namespace keytut::ui {

namespace {
int waitDepth = 0;
std::vector<std::function<void()>> heldBack;

void finishWait() {
    if (--waitDepth > 0)
        return;
    // Actions may start new waits; those collect their own.
    auto actions = std::exchange(heldBack, {});
    for (auto& action : actions)
        action();
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

void waitUntil(const std::function<bool()>& finished, int timeoutMs) {
    ++waitDepth;
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (finished() || clock.elapsed() >= timeoutMs)
            loop.quit();
    });
    check.start(10);
    if (!finished() && timeoutMs > 0)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    finishWait();
}

void pauseFor(int ms) {
    ++waitDepth;
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    if (ms > 0)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    finishWait();
}

}  // namespace keytut::ui
