// The keyboard and the mouse as a Morse key, while a decode screen has the focus: Left Ctrl or
// the left mouse button closes CTS (the straight key, the dot paddle), Right Ctrl or the right
// mouse button closes DSR (the dash paddle). Many USB paddle adapters present themselves as
// these two keys. Auto-repeat never makes a mark; losing the focus lets go of everything.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>

#include "keying/key_source.h"

namespace keytut::keys {

class KeyboardKey : public QObject, public KeySource {
  public:
    // Watches the events of `screen` and its controls.
    explicit KeyboardKey(QWidget* screen);
    ~KeyboardKey() override;

    std::uint32_t readKeyLines() override { return keys_ | buttons_; }

    // Called as soon as the lines change, so that the tone need not wait for the next tick.
    void setChangeHandler(std::function<void()> changed) override { changed_ = std::move(changed); }
    bool tellsEveryChange() const override { return true; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool onScreen(QObject* watched) const;
    void set(std::uint32_t& lines, std::uint32_t bit, bool down);

    QPointer<QWidget> screen_;
    std::uint32_t keys_ = 0;
    std::uint32_t buttons_ = 0;
    std::function<void()> changed_;
};

}  // namespace keytut::keys
