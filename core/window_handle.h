// Posting private messages to a window that may already have closed.
#pragma once

#include <cstdint>
#include <memory>

namespace keytut {

// A key the lesson's poller saw pressed (wParam: the character code), or a character to play.
constexpr int KeyCharMessage = 0x0C00;
// The sender has finished its text.
constexpr int SendDoneMessage = 0x0C01;

class MessageTarget {
  public:
    virtual ~MessageTarget() = default;
    // Queues the message for the window; a closed window drops it.
    virtual void post(int message, std::intptr_t wParam, std::intptr_t lParam) = 0;
};

using WindowHandle = std::shared_ptr<MessageTarget>;

}  // namespace keytut
