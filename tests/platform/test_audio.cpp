// The real backends (Null and WAV file, paced in real time) and the virtual-clock test double.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <functional>
#include <mutex>
#include <numbers>
#include <numeric>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include "platform/audio/audio_system.h"
#include "platform/audio/backends.h"
#include "platform/audio/fake_wave_out.h"
#include "platform/audio/sidetone_core.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Samples = std::vector<std::int16_t>;

// Stands in for the UI thread: callables posted from any thread run on the test thread when it
// drains the queue.
class UiThread {
  public:
    audio::Dispatcher dispatcher() {
        return [this](std::function<void()> f) {
            std::lock_guard lock(mutex_);
            queue_.push_back(std::move(f));
            posted_.notify_all();
        };
    }

    // Runs posted callables until `done` holds or `timeout` passes; returns whether it holds.
    bool runUntil(const std::function<bool()>& done, Clock::duration timeout = 2s) {
        const auto deadline = Clock::now() + timeout;
        while (!done()) {
            std::function<void()> f;
            {
                std::unique_lock lock(mutex_);
                if (!posted_.wait_until(lock, deadline, [this] { return !queue_.empty(); })) {
                    return done();
                }
                f = std::move(queue_.front());
                queue_.pop_front();
            }
            f();
        }
        return true;
    }
    void runFor(Clock::duration d) {
        runUntil([] { return false; }, d);
    }
    std::size_t waiting() {
        std::lock_guard lock(mutex_);
        return queue_.size();
    }

  private:
    std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<std::function<void()>> queue_;
};

Samples tone(std::size_t n, std::int16_t base) {
    Samples s(n);
    for (std::size_t i = 0; i < n; ++i)
        s[i] = static_cast<std::int16_t>(base + (i % 97) * 3);
    return s;
}

Samples readWav(const std::string& path, SF_INFO& info) {
    info = {};
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
    if (!f)
        return {};
    Samples s(static_cast<std::size_t>(info.frames));
    sf_read_short(f, s.data(), info.frames);
    sf_close(f);
    return s;
}

std::string tempPath(const std::string& name) {
    return (std::filesystem::temp_directory_path() /
            (name + "-" + std::to_string(::getpid()) + ".wav"))
        .string();
}

audio::AudioOptions options(audio::Backend backend, const std::string& path, UiThread& ui) {
    audio::AudioOptions o;
    o.backend = backend;
    o.wavPath = path;
    o.dispatcher = ui.dispatcher();
    return o;
}

struct Recorder {
    std::vector<std::uint64_t> tags;
    audio::WaveOut::DoneHandler handler() {
        return [this](std::uint64_t tag) { tags.push_back(tag); };
    }
};

class PacedBackend : public ::testing::TestWithParam<audio::DoneTiming> {
  protected:
    UiThread ui;
    std::unique_ptr<audio::AudioSystem> system =
        audio::createAudioSystem(options(audio::Backend::Null, "", ui));
};

TEST_P(PacedBackend, ReportsEveryBufferInOrderWithItsTagEmptyOnesIncluded) {
    auto out = system->open(GetParam());
    Recorder rec;
    out->setDoneHandler(rec.handler());
    out->write(tone(80, 100), 11);
    out->write({}, 12);
    out->write(tone(130, 200), 13);
    out->write({}, 14);
    ASSERT_TRUE(ui.runUntil([&] { return rec.tags.size() >= 4; }));
    ui.runFor(30ms);
    EXPECT_EQ(rec.tags, (std::vector<std::uint64_t>{11, 12, 13, 14}));
    EXPECT_FALSE(out->lost());
    EXPECT_EQ(system->problem(), "");
}

TEST_P(PacedBackend, SenderPatternWritesTheNextBufferFromTheHandler) {
    auto out = system->open(GetParam());
    std::vector<std::uint64_t> tags;
    Samples buffer = tone(120, 5);
    out->setDoneHandler([&](std::uint64_t tag) {
        tags.push_back(tag);
        if (tag < 6)
            out->write(tag % 2 ? Samples{} : buffer, tag + 1);
    });
    out->write(buffer, 1);
    ASSERT_TRUE(ui.runUntil([&] { return tags.size() >= 6; }));
    EXPECT_EQ(tags, (std::vector<std::uint64_t>{1, 2, 3, 4, 5, 6}));
}

TEST_P(PacedBackend, ResetDropsQueuedAndPlayingBuffersAndLaterWritesAreReported) {
    auto out = system->open(GetParam());
    Recorder rec;
    out->setDoneHandler(rec.handler());
    out->write(tone(4000, 1), 1);  // half a second
    out->write(tone(400, 1), 2);
    ui.runFor(20ms);
    out->reset();
    out->write(tone(80, 1), 3);
    ASSERT_TRUE(ui.runUntil([&] { return !rec.tags.empty(); }));
    ui.runFor(60ms);
    EXPECT_EQ(rec.tags, (std::vector<std::uint64_t>{3}));
}

TEST_P(PacedBackend, NoticesAlreadyOnTheirWayBeforeAResetAreDropped) {
    auto out = system->open(GetParam());
    Recorder rec;
    out->setDoneHandler(rec.handler());
    out->write(tone(40, 1), 1);
    out->write({}, 2);
    // Let both finish and their notices be posted, but not yet run on the UI thread.
    auto deadline = Clock::now() + 2s;
    while (ui.waiting() < 2 && Clock::now() < deadline)
        std::this_thread::sleep_for(1ms);
    ASSERT_EQ(ui.waiting(), 2u);
    out->reset();
    out->write({}, 3);
    ASSERT_TRUE(ui.runUntil([&] { return !rec.tags.empty(); }));
    ui.runFor(20ms);
    EXPECT_EQ(rec.tags, (std::vector<std::uint64_t>{3}));
}

TEST_P(PacedBackend, NoHandlerRunsAfterTheStreamIsClosed) {
    auto out = system->open(GetParam());
    int calls = 0;
    out->setDoneHandler([&](std::uint64_t) { ++calls; });
    out->write(tone(40, 1), 1);
    auto deadline = Clock::now() + 2s;
    while (ui.waiting() < 1 && Clock::now() < deadline)
        std::this_thread::sleep_for(1ms);
    out.reset();
    ui.runFor(20ms);
    EXPECT_EQ(calls, 0);
}

TEST_P(PacedBackend, MoreBuffersThanTheQueueHoldsAreAllReportedInOrder) {
    auto out = system->open(GetParam());
    Recorder rec;
    out->setDoneHandler(rec.handler());
    const std::uint64_t n = 1500;
    for (std::uint64_t tag = 0; tag < n; ++tag)
        out->write(tag % 3 ? Samples{} : tone(1, 1), tag);
    ASSERT_TRUE(ui.runUntil([&] { return rec.tags.size() >= n; }, 5s));
    std::vector<std::uint64_t> expected(n);
    std::iota(expected.begin(), expected.end(), 0);
    EXPECT_EQ(rec.tags, expected);
}

TEST_P(PacedBackend, PlaysAtEightThousandSamplesPerSecond) {
    auto out = system->open(GetParam());
    Recorder rec;
    out->setDoneHandler(rec.handler());
    out->write({}, 0);  // align with the clock first
    ASSERT_TRUE(ui.runUntil([&] { return rec.tags.size() == 1; }));
    auto start = Clock::now();
    for (int i = 1; i <= 10; ++i)
        out->write(tone(320, 0), i);  // 0.4 s in all
    ASSERT_TRUE(ui.runUntil([&] { return rec.tags.size() == 11; }, 3s));
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    EXPECT_GT(seconds, 0.32);
    EXPECT_LT(seconds, 0.8);
}

INSTANTIATE_TEST_SUITE_P(Timings, PacedBackend,
                         ::testing::Values(audio::DoneTiming::WhenTaken,
                                           audio::DoneTiming::AtPlayback),
                         [](const auto& info) {
                             return info.param == audio::DoneTiming::WhenTaken ? "WhenTaken"
                                                                               : "AtPlayback";
                         });

TEST(PacedBackendRing, TwentySmallBuffersGiveTwoHundredTicksPerSecond) {
    UiThread ui;
    auto system = audio::createAudioSystem(options(audio::Backend::Null, "", ui));
    auto out = system->open(audio::DoneTiming::AtPlayback);
    Samples block = tone(40, 0);
    std::vector<Clock::time_point> ticks;
    out->setDoneHandler([&](std::uint64_t tag) {
        ticks.push_back(Clock::now());
        out->write(block, tag + 20);
    });
    for (int i = 0; i < 20; ++i)
        out->write(block, i);
    ASSERT_TRUE(ui.runUntil([&] { return ticks.size() >= 61; }));
    double seconds = std::chrono::duration<double>(ticks[60] - ticks[0]).count();
    // 60 ticks are 0.3 s; loose bounds, this is no timing benchmark.
    EXPECT_GT(seconds, 0.24);
    EXPECT_LT(seconds, 0.6);
}

TEST(WavBackend, FileHoldsExactlyWhatWasWrittenWithoutLeadingOrTrailingSilence) {
    const std::string path = tempPath("keytut-audio-exact");
    Samples a = tone(333, 1000), b = tone(40, -500), c = tone(1001, 7);
    {
        UiThread ui;
        auto system = audio::createAudioSystem(options(audio::Backend::WavFile, path, ui));
        ASSERT_EQ(system->problem(), "");
        ui.runFor(30ms);  // idle time before the first sound is not recorded
        auto out = system->open(audio::DoneTiming::WhenTaken);
        Recorder rec;
        out->setDoneHandler(rec.handler());
        out->write(a, 1);
        out->write({}, 2);
        out->write(b, 3);
        out->write(c, 4);
        ASSERT_TRUE(ui.runUntil([&] { return rec.tags.size() == 4; }));
        ui.runFor(40ms);  // nor is the idle time after the last
    }
    SF_INFO info;
    Samples file = readWav(path, info);
    std::filesystem::remove(path);
    EXPECT_EQ(info.samplerate, 8000);
    EXPECT_EQ(info.channels, 1);
    EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    Samples expected = a;
    expected.insert(expected.end(), b.begin(), b.end());
    expected.insert(expected.end(), c.begin(), c.end());
    EXPECT_EQ(file, expected);
}

// The sender writes each character when the last one is reported done: the notice comes early
// enough that the characters join in the recording without a sample of silence between them.
TEST(WavBackend, CharactersWrittenOnTheDoneNoticeJoinSampleExactly) {
    const std::string path = tempPath("keytut-audio-joins");
    std::vector<Samples> characters = {tone(767, 100), tone(41, 200), tone(2000, 300), tone(1, 400),
                                       tone(330, 500)};
    {
        UiThread ui;
        auto system = audio::createAudioSystem(options(audio::Backend::WavFile, path, ui));
        auto out = system->open(audio::DoneTiming::WhenTaken);
        std::size_t next = 1;
        bool finished = false;
        out->setDoneHandler([&](std::uint64_t) {
            if (next < characters.size()) {
                out->write(characters[next], next);
                ++next;
            } else {
                finished = true;
            }
        });
        out->write(characters[0], 0);
        ASSERT_TRUE(ui.runUntil([&] { return finished; }));
    }  // closing waits for the end of the last character, already reported done
    SF_INFO info;
    Samples file = readWav(path, info);
    std::filesystem::remove(path);
    Samples expected;
    for (const Samples& c : characters)
        expected.insert(expected.end(), c.begin(), c.end());
    ASSERT_EQ(file.size(), expected.size());
    auto mismatch = std::mismatch(file.begin(), file.end(), expected.begin());
    EXPECT_EQ(mismatch.first, file.end())
        << "first difference at " << (mismatch.first - file.begin());
}

TEST(WavBackend, IdleTimeBetweenSoundsIsRecordedAsSilence) {
    const std::string path = tempPath("keytut-audio-idle");
    Samples a = tone(200, 300), b = tone(100, -300);
    {
        UiThread ui;
        auto system = audio::createAudioSystem(options(audio::Backend::WavFile, path, ui));
        auto out = system->open(audio::DoneTiming::WhenTaken);
        Recorder rec;
        out->setDoneHandler(rec.handler());
        out->write(a, 1);
        ASSERT_TRUE(ui.runUntil([&] { return rec.tags.size() == 1; }));
        ui.runFor(100ms);
        out->write(b, 2);
        ASSERT_TRUE(ui.runUntil([&] { return rec.tags.size() == 2; }));
    }
    SF_INFO info;
    Samples file = readWav(path, info);
    std::filesystem::remove(path);
    ASSERT_GT(file.size(), a.size() + b.size() + 400);  // at least 50 ms of silence
    EXPECT_LT(file.size(), a.size() + b.size() + 8000);
    EXPECT_TRUE(std::equal(a.begin(), a.end(), file.begin()));
    EXPECT_TRUE(std::equal(b.rbegin(), b.rend(), file.rbegin()));
    EXPECT_TRUE(std::all_of(file.begin() + a.size(), file.end() - b.size(),
                            [](std::int16_t s) { return s == 0; }));
}

TEST(WavBackend, StreamsMixIntoTheOneFileWithClipping) {
    const std::string path = tempPath("keytut-audio-mix");
    {
        UiThread ui;
        auto system = audio::createAudioSystem(options(audio::Backend::WavFile, path, ui));
        auto first = system->open(audio::DoneTiming::WhenTaken);
        auto second = system->open(audio::DoneTiming::AtPlayback);
        int done = 0;
        first->setDoneHandler([&](std::uint64_t) { ++done; });
        second->setDoneHandler([&](std::uint64_t) { ++done; });
        first->write(Samples(800, 30000), 1);
        second->write(Samples(800, 20000), 1);
        ASSERT_TRUE(ui.runUntil([&] { return done == 2; }));
    }
    SF_INFO info;
    Samples file = readWav(path, info);
    std::filesystem::remove(path);
    // Both started within a block of each other, so most of the two overlap.
    auto clipped = std::count(file.begin(), file.end(), 32767);
    EXPECT_GE(clipped, 800 - 40);
    EXPECT_LE(file.size(), 800u + 40u);
    EXPECT_TRUE(std::all_of(file.begin(), file.end(),
                            [](std::int16_t s) { return s == 32767 || s == 30000 || s == 20000; }));
}

TEST(WavBackend, UnwritablePathFallsBackToSilentPacingAndSaysWhichFile) {
    UiThread ui;
    const std::string path = "/nonexistent-keytut-dir/drill.wav";
    auto system = audio::createAudioSystem(options(audio::Backend::WavFile, path, ui));
    EXPECT_NE(system->problem().find("\"" + path + "\""), std::string::npos) << system->problem();
    auto out = system->open(audio::DoneTiming::WhenTaken);
    Recorder rec;
    out->setDoneHandler(rec.handler());
    out->write(tone(80, 1), 5);
    ASSERT_TRUE(ui.runUntil([&] { return rec.tags.size() == 1; }));
    EXPECT_EQ(rec.tags[0], 5u);
}

// Whatever this machine has (a sound server, a card, nothing), the default backend gives a
// stream whose buffers are reported and a side-tone voice that ticks, and says in words when the
// card could not be used.
TEST(PortAudioBackend, AlwaysGivesAStreamThatReportsItsBuffersAndAVoiceThatTicks) {
    UiThread ui;
    std::unique_ptr<audio::AudioSystem> system;
    std::unique_ptr<audio::WaveOut> out;
    std::unique_ptr<keytut::SidetoneVoice> voice;
    {
#if defined(__SANITIZE_ADDRESS__)
        // ALSA keeps what it allocates while reading its configuration, in plugins it unloads
        // again; that is not ours to report.
        __lsan::ScopedDisabler alsaConfiguration;
#endif
        system = audio::createAudioSystem(options(audio::Backend::PortAudio, "", ui));
        out = system->open(audio::DoneTiming::WhenTaken);
        voice = system->openSidetone({});
    }
    int ticks = 0;
    voice->setTickHandler([&] { ++ticks; });
    voice->setTone(true);
    Recorder rec;
    out->setDoneHandler(rec.handler());
    out->write(Samples(400, 0), 1);
    out->write({}, 2);
    ASSERT_TRUE(ui.runUntil([&] { return rec.tags.size() == 2; }, 5s)) << system->problem();
    EXPECT_EQ(rec.tags, (std::vector<std::uint64_t>{1, 2}));
    ASSERT_TRUE(ui.runUntil([&] { return ticks >= 20; }, 5s));
    voice.reset();
    if (!system->problem().empty()) {
        EXPECT_NE(system->problem().find("No sound card could be opened"), std::string::npos);
    }
}

// The key screens' voice on a sound server of its own (sound_sidetone_server_gone runs this
// inside tools/with-pulse.sh, sound_sidetone_pipewire_server_gone inside tools/with-pipewire.sh):
// it plays there directly, and when the server is killed it says so once, keeps ticking in real
// time, and plays on the next server without being opened again.
struct SoundServer {
    const char* name;
    const char* pidVariable;      // the server's pid, set by the wrapper script
    const char* restartVariable;  // a command that starts a new one and prints its pid
    const char* route;            // how the voice says it plays there
};

void PrintTo(const SoundServer& server, std::ostream* os) {
    *os << server.name;
}

class ServerSidetone : public testing::TestWithParam<SoundServer> {};

// The program's sound system on the server, its voice, and what it told the learner.
struct ServerVoice {
    explicit ServerVoice(UiThread& ui) {
        audio::AudioOptions o = options(audio::Backend::PortAudio, "", ui);
        o.problemHandler = [this](const std::string& sentence) { told.push_back(sentence); };
#if defined(__SANITIZE_ADDRESS__)
        __lsan::ScopedDisabler alsaConfiguration;  // as above
#endif
        system = audio::createAudioSystem(o);
        voice = system->openSidetone({});
    }
    std::vector<std::string> told;
    std::unique_ptr<audio::AudioSystem> system;
    std::unique_ptr<keytut::SidetoneVoice> voice;
};

TEST_P(ServerSidetone, TicksOnThroughAServerThatGoesAwayAndPlaysOnTheNextOne) {
    const SoundServer& server = GetParam();
    const char* pid = std::getenv(server.pidVariable);
    const char* restart = std::getenv(server.restartVariable);
    if (!std::getenv("KEYTUT_TEST_SERVER_LOSS") || !pid || !restart)
        GTEST_SKIP() << "needs a private " << server.name << " server it may kill";
    UiThread ui;
    ServerVoice opened(ui);
    auto& [told, system, voice] = opened;
    ASSERT_EQ(system->problem(), "");
    auto* probe = dynamic_cast<audio::detail::OutputProbe*>(voice.get());
    ASSERT_NE(probe, nullptr);
    EXPECT_EQ(probe->route().rfind(server.route, 0), 0u) << probe->route();
    int ticks = 0;
    voice->setTickHandler([&] { ++ticks; });
    voice->setTone(true);
    ASSERT_TRUE(ui.runUntil([&] { return ticks >= 100; }, 5s));

    ::kill(std::atoi(pid), SIGKILL);
    ASSERT_TRUE(ui.runUntil([&] { return voice->lost(); }, 8s));
    int from = ticks;
    auto start = Clock::now();
    ui.runFor(1s);
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    EXPECT_NEAR((ticks - from) / seconds, 200, 30);  // the clock goes on without a server
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find("The sound device went away"), std::string::npos);

    from = ticks;
    start = Clock::now();
    FILE* started = ::popen(restart, "r");
    ASSERT_NE(started, nullptr);
    char line[32] = {};
    ASSERT_NE(std::fgets(line, sizeof line, started), nullptr);
    ::pclose(started);
    ASSERT_TRUE(ui.runUntil([&] { return !voice->lost(); }, 8s));
    EXPECT_EQ(probe->route().rfind(server.route, 0), 0u) << probe->route();
    ui.runFor(1s);
    seconds = std::chrono::duration<double>(Clock::now() - start).count();
    // The clock went on while the new server started and the voice joined it.
    EXPECT_NEAR((ticks - from) / seconds, 200, 30) << seconds << " s";
    from = ticks;
    ASSERT_TRUE(ui.runUntil([&] { return ticks >= from + 100; }, 5s));
    EXPECT_EQ(told.size(), 1u);
}

// Paused, the voice plays and ticks no more, and the server's silence is not taken for its
// loss, however long the pause; resumed, it ticks again at 200 a second and plays the tone.
TEST_P(ServerSidetone, PausedItTicksNoMoreAndResumedItPlaysAtOnce) {
    const SoundServer& server = GetParam();
    if (!std::getenv("KEYTUT_TEST_SERVER_LOSS") || !std::getenv(server.pidVariable))
        GTEST_SKIP() << "needs a private " << server.name << " server";
    UiThread ui;
    ServerVoice opened(ui);
    auto& [told, system, voice] = opened;
    auto* probe = dynamic_cast<audio::detail::OutputProbe*>(voice.get());
    ASSERT_NE(probe, nullptr);
    EXPECT_EQ(probe->route().rfind(server.route, 0), 0u) << probe->route();
    auto* core = dynamic_cast<const audio::detail::SidetoneCore*>(&probe->source());
    ASSERT_NE(core, nullptr);
    int ticks = 0;
    voice->setTickHandler([&] { ++ticks; });
    ASSERT_TRUE(ui.runUntil([&] { return ticks >= 100; }, 5s));

    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(voice->pause());
        EXPECT_FALSE(voice->pause());  // once is enough
        int from = ticks;
        // Longer than the silence after which a server counts as gone.
        ui.runFor(round == 0 ? 5s : 300ms);
        EXPECT_EQ(ticks, from) << "round " << round;
        EXPECT_FALSE(voice->lost());

        std::uint64_t onsets = core->onsets();
        voice->resume();
        voice->setTone(true);
        from = ticks;
        auto start = Clock::now();
        ASSERT_TRUE(ui.runUntil([&] { return core->onsets() > onsets; }, 2s)) << round;
        ui.runFor(1s);
        double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        EXPECT_NEAR((ticks - from) / seconds, 200, 30) << "round " << round;
        voice->setTone(false);
        ui.runFor(100ms);  // the key let go is played before the next pause, as on a screen
    }
    EXPECT_TRUE(told.empty());
}

INSTANTIATE_TEST_SUITE_P(Servers, ServerSidetone,
                         testing::Values(SoundServer{"PulseAudio", "KEYTUT_PULSE_PID",
                                                     "KEYTUT_PULSE_RESTART", "PulseAudio"},
                                         SoundServer{"PipeWire", "KEYTUT_PIPEWIRE_PID",
                                                     "KEYTUT_PIPEWIRE_RESTART", "PipeWire"}),
                         [](const testing::TestParamInfo<SoundServer>& info) {
                             return info.param.name;
                         });

// A server stream's watch on a virtual clock: quiet for good after four seconds without a call,
// a longer buffer after five faults within a window, and never beyond the last buffer.
TEST(ServerWatch, TellsAQuietServerAndAStreamThatKeepsFaulting) {
    using audio::detail::ServerWatch;
    using Verdict = ServerWatch::Verdict;
    ServerWatch watch;
    watch.restart(100.0, 7, 0);
    std::uint64_t calls = 7;
    double t = 100.0;
    for (; t < 104.9; t += 0.1)
        EXPECT_EQ(watch.check(t, ++calls, 4, false, true), Verdict::Fine) << t;
    // Five faults within the window: the next check at its end asks for more.
    EXPECT_EQ(watch.check(105.1, ++calls, 5, false, true), Verdict::StepUp);
    // A window of four faults does not, nor five when no longer buffer is left.
    EXPECT_EQ(watch.check(110.2, ++calls, 9, false, true), Verdict::Fine);
    EXPECT_EQ(watch.check(115.3, ++calls, 14, false, false), Verdict::Fine);
    // The calls stop: lost once four seconds have passed since the last one.
    EXPECT_EQ(watch.check(119.0, calls, 14, false, true), Verdict::Fine);
    EXPECT_EQ(watch.check(119.4, calls, 14, false, true), Verdict::Lost);
    // A stream that failed outright is lost at once; a restart starts the count again.
    watch.restart(200.0, calls, 14);
    EXPECT_EQ(watch.check(200.1, calls, 14, true, true), Verdict::Lost);
    EXPECT_EQ(watch.check(203.9, calls, 14, false, true), Verdict::Fine);
}

// The key screens' voice on the silent and file backends: the clock, the tone, the closing.
TEST(PacedSidetone, TicksTwoHundredTimesASecondUntilClosed) {
    UiThread ui;
    auto system = audio::createAudioSystem(options(audio::Backend::Null, "", ui));
    auto voice = system->openSidetone({});
    std::vector<Clock::time_point> ticks;
    voice->setTickHandler([&] { ticks.push_back(Clock::now()); });
    ASSERT_TRUE(ui.runUntil([&] { return ticks.size() >= 61; }));
    double seconds = std::chrono::duration<double>(ticks[60] - ticks[0]).count();
    EXPECT_GT(seconds, 0.24);  // 60 ticks are 0.3 s; loose bounds, no timing benchmark
    EXPECT_LT(seconds, 0.6);
    EXPECT_FALSE(voice->lost());
    // Ticks already posted to the UI thread do not run once the voice is gone.
    auto deadline = Clock::now() + 2s;
    while (ui.waiting() == 0 && Clock::now() < deadline)
        std::this_thread::sleep_for(1ms);
    ASSERT_GT(ui.waiting(), 0u);
    voice.reset();
    std::size_t count = ticks.size();
    ui.runFor(50ms);
    EXPECT_EQ(ticks.size(), count);
}

// The clock follows the playback times the device reports, not the samples it took: a stall
// (an underrun, a restarted stream) is made up in ticks, a long one (a sleeping machine) is not.
TEST(SidetoneClock, CountsPlaybackTimeThroughStallsAndBlockSizes) {
    auto core = std::make_shared<audio::detail::SidetoneCore>(nullptr, keytut::Tone(3000));
    int ticks = 0;
    core->setTickHandler([&] { ++ticks; });
    Samples out(400);
    double t = 100.0;
    auto play = [&](std::size_t frames) {
        core->render(out.data(), frames, t);
        t += static_cast<double>(frames) / 8000;
    };
    auto released = [&] {
        int before = ticks;
        core->releaseDue(1e9);
        return ticks - before;
    };
    for (int i = 0; i < 10; ++i)
        play(40);
    EXPECT_EQ(released(), 10);
    // The device asks for 80 and then 120 samples at a time, then odd sizes across blocks.
    play(80);
    play(120);
    EXPECT_EQ(released(), 5);
    play(30);
    EXPECT_EQ(released(), 0);
    play(30);
    play(20);
    EXPECT_EQ(released(), 2);
    // An underrun of 25 ms: the next block is heard that much later than the last one ended.
    t += 0.025;
    play(40);
    EXPECT_EQ(released(), 6);
    // Reported times 10 ms early (the report corrected back): no tick counted twice.
    t -= 0.010;
    play(40);
    play(40);
    play(40);
    EXPECT_EQ(released(), 1);
    // Ten minutes without playback: the clock carries on from where it resumed.
    t += 600;
    play(40);
    play(40);
    EXPECT_EQ(released(), 2);
    // A tick is released at the playback time of its block's end, not before.
    play(40);
    int before = ticks;
    EXPECT_NEAR(core->releaseDue(t - 0.001), 0.001, 1e-6);
    EXPECT_EQ(ticks, before);
    core->releaseDue(t);
    EXPECT_EQ(ticks, before + 1);

    // Handed on at the device's requests, which jitter around the ticks' playback times: one
    // tick a request, never two and then none; a request 15 ms late hands on the two overdue
    // ones and the one due.
    for (int i = 0; i < 12; ++i)
        play(40);
    double due = t - 12 * 0.005;
    std::vector<int> perRequest;
    for (double jitter : {0.0001, -0.0001, 0.0002, -0.0002}) {
        due += 0.005;
        int from = ticks;
        core->releaseAtRequest(due + jitter);
        perRequest.push_back(ticks - from);
    }
    EXPECT_EQ(perRequest, (std::vector<int>{1, 1, 1, 1}));
    before = ticks;
    core->releaseAtRequest(due + 0.0151);
    EXPECT_EQ(ticks, before + 3);
}

// The voice's tone, block by block, as the key goes down and up: the pitch chosen, its phase
// carried across blocks; hard edges switch at the block boundary, soft ones rise through the
// first block after key down and fall through the first one after key up, to zero. The clock
// ticks once a block whatever the tone.
class SidetoneTone : public ::testing::Test {
  protected:
    void open(keytut::ToneSettings settings) {
        tone = std::make_unique<keytut::Tone>(3000, settings);
        core = std::make_shared<audio::detail::SidetoneCore>(nullptr, *tone);
        core->setTickHandler([this] { ++ticks; });
    }
    // Plays `blocks` blocks with the key as given; the samples are kept, the ticks counted.
    void play(bool down, int blocks) {
        core->setTone(down);
        for (int b = 0; b < blocks; ++b) {
            Samples block(40);
            core->render(block.data(), block.size(), t);
            t += 0.005;
            core->releaseDue(1e9);
            played.insert(played.end(), block.begin(), block.end());
        }
    }
    Samples at(std::size_t from, std::size_t n) const {
        return Samples(played.begin() + from, played.begin() + from + n);
    }
    // The chosen tone from phase 0, `n` samples, shaped by `gain` (sample index -> 0..1).
    Samples expected(std::size_t phase, std::size_t n, double (*gain)(std::size_t)) const {
        Samples s(n);
        for (std::size_t i = 0; i < n; ++i)
            s[i] = static_cast<std::int16_t>(std::lround(tone->at(phase + i) * gain(i)));
        return s;
    }
    static double full(std::size_t) { return 1.0; }
    static double rise(std::size_t i) {
        return 0.5 * (1 - std::cos(std::numbers::pi * static_cast<double>(i) / 40));
    }
    static double fall(std::size_t i) { return rise(39 - i); }

    std::unique_ptr<keytut::Tone> tone;
    std::shared_ptr<audio::detail::SidetoneCore> core;
    Samples played;
    double t = 50.0;
    int ticks = 0;
};

TEST_F(SidetoneTone, HardEdgesAt800HzAreWholeCyclesSwitchedAtBlockBoundaries) {
    open({});
    play(false, 2);
    play(true, 3);
    play(false, 2);
    EXPECT_EQ(at(0, 80), Samples(80, 0));
    EXPECT_EQ(at(80, 120), expected(0, 120, full));
    EXPECT_EQ(at(80, 10), (Samples{0, 1763, 2853, 2853, 1763, 0, -1763, -2853, -2853, -1763}));
    EXPECT_EQ(at(200, 80), Samples(80, 0));
    EXPECT_EQ(ticks, 7);
}

TEST_F(SidetoneTone, AnotherPitchKeepsItsPhaseAcrossBlocksAndStartsEachToneAtZero) {
    open({450, false});
    play(true, 3);
    play(false, 1);
    play(true, 2);
    EXPECT_EQ(at(0, 120), expected(0, 120, full));
    EXPECT_NE(at(40, 40), at(0, 40));  // 450 Hz is no whole number of cycles a block
    EXPECT_EQ(at(120, 40), Samples(40, 0));
    EXPECT_EQ(at(160, 80), expected(0, 80, full));
    int upward = 0;
    for (std::size_t i = 1; i < 120; ++i)
        upward += played[i - 1] < 0 && played[i] >= 0;
    EXPECT_NEAR(upward, 450 * 120 / 8000.0, 1.0);
}

TEST_F(SidetoneTone, SoftEdgesRiseAfterKeyDownAndFallAfterKeyUp) {
    open({600, true});
    play(false, 1);
    play(true, 3);
    play(false, 2);
    play(true, 1);  // down again for one block only: it rises and then falls
    play(false, 2);
    EXPECT_EQ(at(0, 40), Samples(40, 0));
    EXPECT_EQ(at(40, 40), expected(0, 40, rise));
    EXPECT_EQ(played[40], 0);
    EXPECT_EQ(at(80, 80), expected(40, 80, full));
    // The fall takes the block after key up, carrying the phase on, and ends at zero.
    EXPECT_EQ(at(160, 40), expected(120, 40, fall));
    EXPECT_EQ(played[199], 0);
    EXPECT_EQ(at(200, 40), Samples(40, 0));
    EXPECT_EQ(at(240, 40), expected(0, 40, rise));
    EXPECT_EQ(at(280, 40), expected(40, 40, fall));
    EXPECT_EQ(at(320, 40), Samples(40, 0));
    // The peak is the tone's own.
    int peak = 0;
    for (auto v : played)
        peak = std::max(peak, std::abs(static_cast<int>(v)));
    EXPECT_EQ(peak, *std::max_element(tone->cycle().begin(), tone->cycle().end()));
    EXPECT_EQ(ticks, 9);
}

TEST(PacedSidetone, ToneFollowsTheKeyInWholeBlocksAndMixesWithTheSender) {
    const std::string path = tempPath("keytut-audio-sidetone");
    {
        UiThread ui;
        audio::AudioOptions o = options(audio::Backend::WavFile, path, ui);
        o.sidetoneAmplitude = 3000;
        auto system = audio::createAudioSystem(o);
        auto voice = system->openSidetone({});
        auto sender = system->open(audio::DoneTiming::WhenTaken);
        int ticks = 0;
        voice->setTickHandler([&] { ++ticks; });
        ASSERT_TRUE(ui.runUntil([&] { return ticks >= 4; }));
        voice->setTone(true);
        const int on = ticks;
        ASSERT_TRUE(ui.runUntil([&] { return ticks >= on + 10; }));
        voice->setTone(false);
        const int off = ticks;
        ASSERT_TRUE(ui.runUntil([&] { return ticks >= off + 10; }));
        bool done = false;
        sender->setDoneHandler([&](std::uint64_t) { done = true; });
        sender->write(Samples(80, 1000), 1);
        ASSERT_TRUE(ui.runUntil([&] { return done; }));
        ui.runFor(30ms);
    }
    SF_INFO info;
    Samples file = readWav(path, info);
    std::filesystem::remove(path);
    // The file starts with the tone: whole blocks of four cycles of the sine, from a zero.
    std::size_t toned = 0;
    while (toned < file.size() && !(toned % 40 == 0 && file[toned] == 0 &&
                                    toned + 1 < file.size() && file[toned + 1] == 0))
        ++toned;
    ASSERT_GE(toned, 9u * 40);
    EXPECT_EQ(toned % 40, 0u);
    const std::int16_t sine[10] = {0, 1763, 2853, 2853, 1763, 0, -1763, -2853, -2853, -1763};
    for (std::size_t i = 0; i < toned; ++i)
        ASSERT_EQ(file[i], sine[i % 10]) << "sample " << i;
    // Then silence, then the sender's buffer.
    auto sound = std::find(file.begin() + toned, file.end(), 1000);
    ASSERT_NE(sound, file.end());
    EXPECT_TRUE(std::all_of(file.begin() + toned, sound, [](std::int16_t s) { return s == 0; }));
    EXPECT_EQ(std::count(sound, file.end(), 1000), 80);
}

TEST(FakeWaveOut, AdvanceFinishesBuffersWhoseEndFallsWithinTheStep) {
    audio::FakeWaveOut out;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> done;  // tag, time
    out.setDoneHandler([&](std::uint64_t tag) { done.push_back({tag, out.now()}); });
    out.write(Samples(100, 1), 1);
    out.write({}, 2);
    out.write(Samples(50, 1), 3);
    out.advance(99);
    EXPECT_TRUE(done.empty());
    out.advance(1);
    EXPECT_EQ(done, (std::vector<std::pair<std::uint64_t, std::uint64_t>>{{1, 100}, {2, 100}}));
    out.advance(200);
    EXPECT_EQ(done.back(), (std::pair<std::uint64_t, std::uint64_t>{3, 150}));
    EXPECT_EQ(out.now(), 300u);
    EXPECT_EQ(out.queued(), 0u);
}

TEST(FakeWaveOut, BuffersWrittenByTheHandlerStartWhereThePreviousEnded) {
    audio::FakeWaveOut out;
    std::vector<std::uint64_t> ends;
    out.setDoneHandler([&](std::uint64_t tag) {
        ends.push_back(out.now());
        if (tag < 3)
            out.write(Samples(10, 1), tag + 1);
    });
    out.write(Samples(10, 1), 1);
    out.advance(25);  // one step crosses two buffer ends
    EXPECT_EQ(ends, (std::vector<std::uint64_t>{10, 20}));
    EXPECT_EQ(out.runUntilIdle(), 5u);
    EXPECT_EQ(ends, (std::vector<std::uint64_t>{10, 20, 30}));
    EXPECT_EQ(out.written().size(), 3u);
}

TEST(FakeWaveOut, ResetDropsTheQueueWithoutNotices) {
    audio::FakeWaveOut out;
    int calls = 0;
    out.setDoneHandler([&](std::uint64_t) { ++calls; });
    out.write(Samples(10, 1), 1);
    out.write(Samples(10, 1), 2);
    out.advance(5);
    out.reset();
    out.advance(100);
    EXPECT_EQ(calls, 0);
    out.write(Samples(10, 1), 3);
    out.advance(10);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(out.resets(), 1);
}

}  // namespace
