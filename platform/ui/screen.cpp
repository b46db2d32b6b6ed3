#include "screen.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QTimer>
#include <utility>

#include "announcer.h"
#include "blocking_wait.h"
#include "text.h"

namespace keytut::ui {

namespace {

const QEvent::Type kCallEvent = static_cast<QEvent::Type>(QEvent::registerEventType());
const QEvent::Type kTabEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

// A call queued for a screen (Screen::queued()).
class CallEvent : public QEvent {
  public:
    explicit CallEvent(std::function<void()> action)
        : QEvent(kCallEvent), action(std::move(action)) {}
    std::function<void()> action;
};

}  // namespace

Screen::Screen(const ScreenSpec& spec) : QDialog(spec.owner) {
    Qt::WindowFlags flags;
    if (spec.frame == FrameKind::MainWindow) {
        flags = Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint;
    } else if (spec.frame == FrameKind::Closable) {
        flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    } else {
        flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    }
    setWindowFlags(flags);
    setWindowTitle(qText(spec.title));
    setFont(dialogFont(spec.font));
    base_ = ui::baseUnits(font());
    resizeClient(spec.width, spec.height);
}

void Screen::resizeClient(int width, int height) {
    const QRect client = toPixels(0, 0, width, height);
    resize(client.size());
    QWidget* owner = parentWidget();
    QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        QRect area = screen->availableGeometry();
        move(area.center() - QPoint(client.width() / 2, client.height() / 2));
    }
}

Screen::~Screen() = default;

int Screen::run() {
    const int result = exec();
    // The window below becomes the active one again. A window manager usually sees to it; without
    // one (or with one that leaves it), no window is active and the screen reader says nothing
    // of the keys that follow.
    if (QWidget* owner = parentWidget(); owner && owner->isVisible())
        owner->activateWindow();
    return result;
}

void Screen::endScreen(int result) {
    ended_ = true;
    stopPoller();
    done(result);
}

void Screen::pressTab() {
    QCoreApplication::postEvent(this, new QEvent(kTabEvent));
}

void Screen::startPoller(int intervalMs, std::function<void()> tick) {
    stopPoller();
    pollerTick_ = std::move(tick);
    poller_ = new QTimer(this);
    connect(poller_, &QTimer::timeout, this, [this] {
        if (ended_ || blockingWaitActive() || !pollerTick_)
            return;
        pollerTick_();
    });
    poller_->start(intervalMs);
}

void Screen::stopPoller() {
    if (poller_) {
        poller_->stop();
        poller_->deleteLater();
        poller_ = nullptr;
    }
}

std::function<void()> Screen::queued(std::function<void()> action) {
    return [self = QPointer<Screen>(this), action = std::move(action)] {
        if (self && !self->ended_)
            QCoreApplication::postEvent(self, new CallEvent(action));
    };
}

bool Screen::event(QEvent* event) {
    if (event->type() == kCallEvent || event->type() == kTabEvent) {
        if (ended_)
            return true;
        if (blockingWaitActive()) {
            // Handled once the wait is over, behind what is queued by then.
            QPointer<Screen> self(this);
            if (event->type() == kCallEvent) {
                afterBlockingWait([self, action = static_cast<CallEvent&>(*event).action] {
                    if (self)
                        QCoreApplication::postEvent(self, new CallEvent(action));
                });
            } else {
                afterBlockingWait([self] {
                    if (self)
                        QCoreApplication::postEvent(self, new QEvent(kTabEvent));
                });
            }
            return true;
        }
        if (event->type() == kCallEvent) {
            auto action = std::move(static_cast<CallEvent&>(*event).action);
            action();
        } else {
            QWidget* target = focusWidget() ? focusWidget() : this;
            QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
            QCoreApplication::sendEvent(target, &tab);
        }
        return true;
    }
    return QDialog::event(event);
}

void Screen::showEvent(QShowEvent* event) {
    if (!initialised_) {
        initialised_ = true;
        initialise();
    }
    QDialog::showEvent(event);
}

}  // namespace keytut::ui
