// A MIDI key adapter through its raw-MIDI device node (/dev/snd/midiC1D0): put into MIDI mode
// with the adapter's own keyer in pass-through when opened, back into keyboard mode when closed.
// Its paddles arrive as notes (keying/midi.h), read without blocking as soon as they come; they
// never pass through the desktop's keyboard, so the screen reader does not hear them.
#pragma once

#include <QObject>
#include <QPointer>
#include <QSocketNotifier>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "keying/key_source.h"
#include "keying/midi.h"

namespace keytut::keys {

class MidiKey : public QObject, public KeySource {
  public:
    // Opens `device` for the port setting `portText`. A device that is absent, not a character
    // device, held by another program or that takes no bytes gives "Can't open port " + portText.
    // `screen`: the decode screen, where the adapter's keys would arrive were it still in
    // keyboard mode.
    static KeyPortResult open(const std::string& device, const std::string& portText,
                              QWidget* screen);
    ~MidiKey() override;

    std::uint32_t readKeyLines() override;
    bool failed() const override { return failed_; }
    void setChangeHandler(std::function<void()> changed) override { changed_ = std::move(changed); }
    bool tellsEveryChange() const override { return true; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    MidiKey(int fd, QWidget* screen);
    // Reads whatever the adapter has sent; true when the key lines changed.
    bool drain();
    bool send(const std::vector<std::uint8_t>& bytes);

    int fd_;
    MidiKeyAdapter adapter_;
    std::unique_ptr<QSocketNotifier> notifier_;
    QPointer<QWidget> screen_;
    std::function<void()> changed_;
    bool failed_ = false;
};

}  // namespace keytut::keys
