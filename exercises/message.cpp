#include "message.h"

namespace keytut {

namespace {

bool hasCode(const CodeTable& codes, char c) {
    return codes.codeElements[static_cast<unsigned char>(c)][0] != 0;
}

}  // namespace

std::string messageToSend(const CodeTable& codes, std::string_view typed) {
    std::string text(typed);
    for (char& c : text) {
        if (c >= 'a' && c <= 'z' && !hasCode(codes, c))
            c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

std::string MessageSending::send(std::string_view typed) {
    std::string text = messageToSend(tutor_.codes, typed);
    // No one waits for the end of a message.
    tutor_.sender.play(text, nullptr);
    return text;
}

void MessageSending::close() {
    tutor_.sender.stop();
}

}  // namespace keytut
