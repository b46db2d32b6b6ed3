// SIGTERM, SIGINT and SIGHUP (a logout, Ctrl+C in the terminal, the terminal closed) end the
// program the way closing its windows does: every open screen is cancelled as by Escape, the main
// window closes, and start-up's caller then releases the sound device (a --record file gets its
// final header) and keeps the settings. A second signal, should the first not end the program, ends
// it at once.
#pragma once

#include <QObject>

class QSocketNotifier;

namespace keytut::ui {

class QuitOnSignal : public QObject {
    Q_OBJECT
  public:
    // Installs the handlers; one object per process.
    QuitOnSignal();
    ~QuitOnSignal() override;
    QuitOnSignal(const QuitOnSignal&) = delete;
    QuitOnSignal& operator=(const QuitOnSignal&) = delete;

    // Whether a signal has come: a main window not yet shown is then not shown at all.
    bool requested() const { return requested_; }

  private:
    void closeWindows();

    QSocketNotifier* notifier_ = nullptr;
    bool requested_ = false;
};

}  // namespace keytut::ui
