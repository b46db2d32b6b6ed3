// The core's and the sound layer's hooks into Qt: message boxes and the UI-thread dispatcher.
#pragma once

#include <string>

#include "core/messages.h"
#include "platform/audio/wave_out.h"

namespace keytut::ui {

// Shows each message in a message box with an OK button and no owner window, and returns once
// the learner has dismissed it.
class QtMessageSink : public MessageSink {
  public:
    explicit QtMessageSink(std::string caption) : caption_(std::move(caption)) {}
    void showMessage(const std::string& text) override;

  private:
    std::string caption_;
};

// Runs callables on the UI thread, queued behind the events already waiting; safe to call from
// any thread while the application object exists.
audio::Dispatcher uiDispatcher();

}  // namespace keytut::ui
