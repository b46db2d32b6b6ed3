// A tutor with the shipped data, a virtual-clock sound device and a lesson window that records
// what is posted to it, for driving the exercises as the screens do.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/tutor.h"
#include "platform/audio/fake_wave_out.h"

namespace keytut::testing {

struct Posted {
    int message;
    std::intptr_t wParam;
};

class RecordingWindow : public MessageTarget {
  public:
    void post(int message, std::intptr_t wParam, std::intptr_t) override {
        queue.push_back({message, wParam});
    }
    std::vector<Posted> queue;
};

class ExerciseRig {
  public:
    explicit ExerciseRig(Edition edition, std::uint64_t seed = 7) : tutor(edition) {
        CollectingMessageSink sink;
        EXPECT_TRUE(tutor.loadData(KEYTUT_DATA_DIR, sink));
        EXPECT_TRUE(sink.messages.empty());
        auto device = std::make_unique<audio::FakeWaveOut>();
        wave = device.get();
        tutor.sender.attach(std::move(device));
        window = std::make_shared<RecordingWindow>();
        tutor.sender.setClient(window);
        tutor.random.seed(seed);
    }

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

    // Takes the messages posted to the window so far, oldest first.
    std::vector<Posted> takePosted() {
        auto posted = std::move(window->queue);
        window->queue.clear();
        return posted;
    }

    Tutor tutor;
    audio::FakeWaveOut* wave = nullptr;
    std::shared_ptr<RecordingWindow> window;

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
