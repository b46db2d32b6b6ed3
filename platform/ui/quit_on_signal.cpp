#include "quit_on_signal.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QSocketNotifier>
#include <csignal>

#include "screen.h"

namespace keytut::ui {

namespace {

// A logout or a closed terminal (SIGHUP), kill's default (SIGTERM) and Ctrl+C (SIGINT).
constexpr int kQuitSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The signal handler may only write to the socket; the user-interface thread reads it.
int signalFds[2] = {-1, -1};

extern "C" void onQuitSignal(int signal) {
    const char byte = 1;
    [[maybe_unused]] ssize_t written = write(signalFds[0], &byte, 1);
    // The next one is not caught: a program that does not end can still be ended.
    std::signal(signal, SIG_DFL);
}

}  // namespace

QuitOnSignal::QuitOnSignal() {
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalFds) != 0)
        return;
    fcntl(signalFds[0], F_SETFL, O_NONBLOCK);
    notifier_ = new QSocketNotifier(signalFds[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        [[maybe_unused]] ssize_t got = read(signalFds[1], bytes, sizeof bytes);
        requested_ = true;
        closeWindows();
    });
    struct sigaction action {};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kQuitSignals)
        sigaction(signal, &action, nullptr);
}

QuitOnSignal::~QuitOnSignal() {
    for (int signal : kQuitSignals)
        std::signal(signal, SIG_DFL);
    delete notifier_;
    notifier_ = nullptr;
    for (int& fd : signalFds) {
        if (fd >= 0)
            close(fd);
        fd = -1;
    }
}

void QuitOnSignal::closeWindows() {
    // From the top: an exercise above the main window, a message box above either.
    for (int guard = 0; guard < 32; ++guard) {
        QWidget* top = QApplication::activeModalWidget();
        if (!top)
            return;
        if (auto* screen = qobject_cast<Screen*>(top)) {
            screen->cancel();
            // A screen that Escape does not close at once is closed all the same.
            if (!screen->ended())
                screen->endScreen();
        } else if (auto* dialog = qobject_cast<QDialog*>(top)) {
            dialog->reject();
        } else {
            top->close();
        }
    }
}

}  // namespace keytut::ui
