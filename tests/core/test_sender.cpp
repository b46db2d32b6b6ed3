#include <gtest/gtest.h>

#include "core/tutor.h"
#include "platform/audio/fake_wave_out.h"
#include "tests/editions.h"

using namespace keytut;

namespace {

// Who asked for the texts: counts the ends reported to it, until it closes.
struct Listener {
    int ends = 0;
};

class SenderTest : public ::testing::Test {
  protected:
    SenderTest() : tutor(kEarkeyProfile) {
        CollectingMessageSink sink;
        loadCodeTableFrom(tutor.codes, "72,....\r\n73,..\r\n69,.\r\n84,-\r\n65,.-\r\n", sink);
        auto device = std::make_unique<audio::FakeWaveOut>();
        wave = device.get();
        tutor.sender.attach(std::move(device));
        listener = std::make_shared<Listener>();
    }
    // Plays `text` for the listener; its end goes nowhere once the listener has closed.
    void play(const std::string& text) {
        tutor.sender.play(text, [weak = std::weak_ptr<Listener>(listener)] {
            if (auto l = weak.lock())
                ++l->ends;
        });
    }
    int ends() const { return listener ? listener->ends : 0; }
    std::vector<std::size_t> lengths() const {
        std::vector<std::size_t> result;
        for (const auto& w : wave->written())
            result.push_back(w.samples.size());
        return result;
    }
    Tutor tutor;
    audio::FakeWaveOut* wave = nullptr;
    std::shared_ptr<Listener> listener;
};

}  // namespace

TEST_F(SenderTest, OneBufferPerCharacterThenOneEnd) {
    play("HI ");
    EXPECT_EQ(wave->queued(), 1u);  // one buffer at a time
    wave->advance(7669);
    EXPECT_EQ(wave->written().size(), 1u);
    EXPECT_EQ(ends(), 0);
    wave->runUntilIdle();
    EXPECT_EQ(lengths(), (std::vector<std::size_t>{7670, 4602, 3068}));
    EXPECT_EQ(ends(), 1);
    EXPECT_EQ(wave->now(), 7670u + 4602u + 3068u);
    EXPECT_FALSE(tutor.sender.sending());
}

TEST_F(SenderTest, UnknownCharacterIsAnEmptyBufferAndSendingGoesOn) {
    play("ZE");
    wave->runUntilIdle();
    EXPECT_EQ(lengths(), (std::vector<std::size_t>{0, 3068}));
    EXPECT_EQ(ends(), 1);
}

TEST_F(SenderTest, SingleCharacterAndEmptyTextEachEndOnce) {
    play("E");
    wave->runUntilIdle();
    EXPECT_EQ(wave->written().size(), 1u);
    EXPECT_EQ(ends(), 1);

    play("");
    wave->runUntilIdle();
    EXPECT_EQ(ends(), 2);
    EXPECT_EQ(wave->written().back().samples.size(), 0u);
}

TEST_F(SenderTest, StoppingFinishesTheCurrentCharacterAndReportsOnce) {
    play("TEATEA");
    wave->runUntilIdle(2);
    tutor.sender.stop();
    wave->runUntilIdle();
    EXPECT_EQ(wave->written().size(), 3u);
    EXPECT_EQ(ends(), 1);
}

TEST_F(SenderTest, NewTextReplacesThePlayingOneAtOnce) {
    play("HHHH");
    wave->advance(100);  // H is playing
    const auto playing = wave->written().front().samples;
    play("TE");
    // The buffer handed to the device was not touched by the new synthesis.
    EXPECT_EQ(wave->written().front().samples, playing);
    EXPECT_EQ(wave->resets(), 1);
    wave->runUntilIdle();
    // After the old H: T then E, nothing skipped, nothing of the old text, one end.
    ASSERT_EQ(wave->written().size(), 3u);
    EXPECT_EQ(wave->written()[1].samples.size(), 3 * 767u + 2301u);
    EXPECT_EQ(wave->written()[2].samples.size(), 767u + 2301u);
    EXPECT_EQ(ends(), 1);
}

TEST_F(SenderTest, StaleNoticesNeverAdvanceTheNewText) {
    play("HH");
    std::uint64_t oldTag = wave->written().back().tag;
    play("TE");
    // A notice of the old buffer that was already on its way arrives late.
    tutor.sender.deviceDone(oldTag);
    tutor.sender.deviceDone(oldTag);
    EXPECT_EQ(wave->written().size(), 2u);
    wave->runUntilIdle();
    EXPECT_EQ(wave->written().size(), 3u);
    EXPECT_EQ(ends(), 1);
}

TEST_F(SenderTest, TheEndOfATextForAClosedListenerGoesNowhere) {
    play("E");
    listener.reset();
    wave->runUntilIdle();
    EXPECT_FALSE(tutor.sender.sending());
}

TEST_F(SenderTest, WordSpeedStretchesOnlyTheGaps) {
    tutor.timing = {dotSamples(20), dotSamples(12)};
    play("A");
    wave->runUntilIdle();
    EXPECT_EQ(lengths(), (std::vector<std::size_t>{4601}));
}

TEST_F(SenderTest, PositionCountsFromZeroAndStopEndsTheText) {
    play("HIE");
    EXPECT_EQ(tutor.sender.text(), "HIE");
    EXPECT_EQ(tutor.sender.position(), 1u);  // H is written; I is next
    EXPECT_EQ(tutor.sender.character(), "H");
    EXPECT_TRUE(tutor.sender.hasMore());
    wave->runUntilIdle(1);
    EXPECT_EQ(tutor.sender.position(), 2u);
    EXPECT_EQ(tutor.sender.character(), "I");
    EXPECT_EQ(tutor.sender.sampleCount(), tutor.sender.samples().size());
    tutor.sender.stop();
    EXPECT_FALSE(tutor.sender.hasMore());
    wave->runUntilIdle();
    EXPECT_EQ(lengths().size(), 2u);
    EXPECT_EQ(ends(), 1);
    // A new text after a stop plays from its start.
    play("E");
    EXPECT_TRUE(tutor.sender.sending());
    wave->runUntilIdle();
    EXPECT_EQ(ends(), 2);
}

TEST_F(SenderTest, AToneChosenWhileSendingSoundsFromTheNextCharacterAtTheSameTiming) {
    play("EEE");
    const auto first = wave->written().front().samples;  // written before the choice
    tutor.setTone({600, true});
    wave->runUntilIdle();
    ASSERT_EQ(lengths(), (std::vector<std::size_t>{3068, 3068, 3068}));
    EXPECT_EQ(wave->written()[0].samples, first);
    EXPECT_NE(wave->written()[1].samples, first);
    EXPECT_EQ(wave->written()[1].samples, wave->written()[2].samples);
    EXPECT_EQ(wave->written()[1].samples[0], 0);  // a soft start
    EXPECT_EQ(wave->written()[1].samples[766], 0);
    EXPECT_EQ(tutor.tone.amplitude(), kEarkeyProfile.toneAmplitude);
    EXPECT_THROW(tutor.setTone({625, false}), std::invalid_argument);
    EXPECT_EQ(tutor.tone.settings(),
              (ToneSettings{600, true}));  // a refused choice changes nothing
}
