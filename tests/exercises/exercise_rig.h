// A tutor with the shipped data, a virtual-clock sound device and a queue standing for a screen's
// own: what the sender and the exercise hand back arrives there, to be delivered in order as the
// screens do.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/tutor.h"
#include "platform/audio/fake_wave_out.h"
#include "tests/editions.h"

namespace keytut::testing {

struct Posted {
    enum Kind { KeyChar, TextEnd } kind;
    char character = 0;  // KeyChar
};

class ExerciseRig {
  public:
    explicit ExerciseRig(Edition edition, std::uint64_t seed = 7) : tutor(profileOf(edition)) {
        CollectingMessageSink sink;
        EXPECT_TRUE(tutor.loadData(KEYTUT_DATA_DIR, sink));
        EXPECT_TRUE(sink.messages.empty());
        auto device = std::make_unique<audio::FakeWaveOut>();
        wave = device.get();
        tutor.sender.attach(std::move(device));
        tutor.random.seed(seed);
    }

    // The call a screen hands its exercise for the end of a text: queued.
    Sender::TextDone whenSent() {
        return [this] { queue.push_back({Posted::TextEnd}); };
    }
    // A character handed back to the screen, as the key poller or the lesson does.
    void queueKey(char c) { queue.push_back({Posted::KeyChar, c}); }

    // The characters the device was given, in order, recognised by their samples: '_' for an
    // empty buffer, ' ' for a word space, '?' for anything else.
    std::string heard(std::size_t from = 0) const {
        std::string result;
        const auto& written = wave->written();
        for (std::size_t i = from; i < written.size(); ++i)
            result += recognise(written[i].samples);
        return result;
    }
    std::size_t writes() const { return wave->written().size(); }

    // Takes what has been queued so far, oldest first.
    std::vector<Posted> takePosted() {
        auto posted = std::move(queue);
        queue.clear();
        return posted;
    }

    Tutor tutor;
    audio::FakeWaveOut* wave = nullptr;
    std::vector<Posted> queue;

  private:
    char recognise(const std::vector<std::int16_t>& samples) const {
        if (samples.empty())
            return '_';
        std::vector<std::int16_t> buffer(kSampleBufferSize);
        for (int c = 32; c < 127; ++c) {
            auto n = synthesiseCharacter(static_cast<char>(c), tutor.codes, tutor.tone,
                                         tutor.timing, buffer);
            if (n == samples.size() && std::equal(samples.begin(), samples.end(), buffer.begin())) {
                return static_cast<char>(c);
            }
        }
        return '?';
    }
};

}  // namespace keytut::testing
