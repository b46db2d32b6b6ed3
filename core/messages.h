// How the core reports faults to the learner: a program shows each message in a message box and
// waits for it to be dismissed; a test collects them.
#pragma once

#include <string>
#include <vector>

namespace keytut {

class MessageSink {
  public:
    virtual ~MessageSink() = default;
    virtual void showMessage(const std::string& text) = 0;
};

class CollectingMessageSink : public MessageSink {
  public:
    void showMessage(const std::string& text) override { messages.push_back(text); }
    std::vector<std::string> messages;
};

// A fixed text followed by a record number, as the loaders word their faults: "text 7".
std::string withNumber(const std::string& text, long long number);

}  // namespace keytut
