// Message sending: the learner types a line and sends it, as often as wanted; the box keeps it.
#pragma once

#include <string>
#include <string_view>

#include "core/code_table.h"
#include "core/tutor.h"

namespace keytut {

inline constexpr std::string_view kMessageTitle = "Send a Message";
inline constexpr std::string_view kEarkeyMessageInstructions =
    "Type a message then enter to send, Escape to exit";
inline constexpr std::string_view kTextToSendCaption = "Text to send:";
inline constexpr std::string_view kSendCaption = "Send";

// The text the sender plays for a typed message: the message itself, except that a small letter
// the code table has no code for is sent as its capital, so that "cq de" sounds like "CQ DE".
// A table that holds small letters is used as it stands.
std::string messageToSend(const CodeTable& codes, std::string_view typed);

class MessageSending {
  public:
    explicit MessageSending(Tutor& tutor) : tutor_(tutor) {}

    // Return / Send: plays the typed text at once, replacing whatever is still sounding. An
    // empty text plays nothing. Returns the text handed to the sender.
    std::string send(std::string_view typed);
    // Escape / Exit: nothing more is sent after the character that is playing.
    void close();

  private:
    Tutor& tutor_;
};

}  // namespace keytut
