// A keyboard-type key adapter read from its input device (/dev/input/by-id/...-event-kbd) with
// libevdev, grabbed while the decode screen is open so that neither the desktop nor the screen
// reader receives its keys. The learner's two keys are the dot paddle (or the straight key) and
// the dash paddle.
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <functional>
#include <memory>
#include <string>

#include "keying/input_keys.h"
#include "keying/key_source.h"

struct libevdev;

namespace keytut::keys {

class InputKey : public QObject, public KeySource {
  public:
    // Opens and grabs `device`. One that is absent, may not be read, has neither key, or that
    // another program has grabbed gives "Can't open port " + portText.
    static KeyPortResult open(const std::string& device, const std::string& portText,
                              InputKeys keys);
    ~InputKey() override;

    std::uint32_t readKeyLines() override;
    bool failed() const override { return failed_; }
    void setChangeHandler(std::function<void()> changed) override { changed_ = std::move(changed); }
    bool tellsEveryChange() const override { return true; }

  private:
    InputKey(int fd, libevdev* device, InputKeys keys);
    bool drain();
    bool resync();

    int fd_;
    libevdev* device_;
    InputKeyLines lines_;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::function<void()> changed_;
    bool failed_ = false;
};

}  // namespace keytut::keys
