// The backends behind createAudioSystem.
#pragma once

#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "audio_system.h"
#include "sidetone_core.h"
#include "stream_core.h"

using SNDFILE = struct sf_private_tag;

namespace audio::detail {

// Seconds on the steady clock, the clock every stream's due times are measured on.
double steadySeconds();

// Tells the program of a problem on its UI thread; safe from any thread.
void tellLater(const Dispatcher& dispatcher, const ProblemHandler& handler, std::string sentence);

// Tells the learner once when the device goes away, however many streams notice it, and again
// only after it has come back.
class Outages {
  public:
    Outages(Dispatcher dispatcher, ProblemHandler handler)
        : dispatcher_(std::move(dispatcher)), handler_(std::move(handler)) {}
    void lost() {
        std::lock_guard lock(mutex_);
        if (lostStreams_++ == 0 && !told_) {
            told_ = true;
            tellLater(dispatcher_, handler_,
                      "The sound device went away (the sound server may have stopped), so the "
                      "Morse code is not heard for now; the exercises go on at their normal "
                      "pace, and the sound comes back by itself when the device does.");
        }
    }
    void back() {
        std::lock_guard lock(mutex_);
        if (lostStreams_ > 0 && --lostStreams_ == 0)
            told_ = false;
    }

  private:
    const Dispatcher dispatcher_;
    const ProblemHandler handler_;
    std::mutex mutex_;
    int lostStreams_ = 0;
    bool told_ = false;
};

// The host reports playback times with the jitter of its scheduling: the callbacks come in
// bursts. Playback itself runs at a steady rate, so the clock follows the reports with a sample
// clock that is pulled slowly towards them, and jumps only when they leave it far behind (after
// an underrun, say). One per stream, used on its consumer thread.
class PlaybackClock {
  public:
    // A playback report this far from the sample clock restarts it.
    static constexpr double kResyncError = 0.02;

    // The stream starts again: the next report is taken as it is.
    void restart() { frames_ = 0; }

    // When the first of `frames` samples about to be rendered plays, given the host's report.
    double next(double reported, std::size_t frames) {
        double predicted = base_ + static_cast<double>(frames_) / kSampleRate;
        double error = reported - predicted;
        double time;
        if (frames_ == 0 || std::abs(error) > kResyncError) {
            base_ = reported - static_cast<double>(frames_) / kSampleRate;
            time = reported;
        } else {
            base_ += error / 32;
            time = predicted + error / 32;
        }
        frames_ += frames;
        return time;
    }

  private:
    double base_ = 0;
    std::uint64_t frames_ = 0;
};

// What the measurement tool reads from a backend's streams (through dynamic_cast).
class OutputProbe {
  public:
    virtual ~OutputProbe() = default;
    virtual const Source& source() const = 0;
    // Times the device reported that it ran out of sound to play (a click or a gap heard).
    virtual std::uint64_t underruns() const { return 0; }
    // The way the stream reaches the device, in a few words.
    virtual std::string route() const { return {}; }
};

// Watches a stream played by a sound server from the stream's own thread: the server's calls
// for sound count as signs of life, and its faults (underruns, missed cycles) as signs that the
// stream's buffer is too short. Fed the two counters as they stand, it says when the server has
// gone quiet for good and when the buffer should grow.
class ServerWatch {
  public:
    enum class Verdict { Fine, Lost, StepUp };
    // No call for this long means the server has stopped (it may be stopped, not gone).
    static constexpr double kSilentServerTimeout = 4.0;
    // This many faults within one window ask for the next longer buffer.
    static constexpr double kFaultWindow = 5.0;
    static constexpr std::uint64_t kFaultsToStepUp = 5;

    // From now on, as when the stream (re)starts.
    void restart(double now, std::uint64_t calls, std::uint64_t faults) {
        calls_ = calls;
        lastCall_ = windowFrom_ = now;
        windowFaults_ = faults;
    }
    // `failed`: the stream has failed outright; `canGrow`: a longer buffer is left to try.
    Verdict check(double now, std::uint64_t calls, std::uint64_t faults, bool failed,
                  bool canGrow) {
        if (calls != calls_) {
            calls_ = calls;
            lastCall_ = now;
        }
        if (failed || now - lastCall_ > kSilentServerTimeout)
            return Verdict::Lost;
        if (now - windowFrom_ < kFaultWindow)
            return Verdict::Fine;
        const bool grow = faults - windowFaults_ >= kFaultsToStepUp && canGrow;
        windowFrom_ = now;
        windowFaults_ = faults;
        return grow ? Verdict::StepUp : Verdict::Fine;
    }

  private:
    std::uint64_t calls_ = 0;
    double lastCall_ = 0;
    double windowFrom_ = 0;
    std::uint64_t windowFaults_ = 0;
};

// What a side-tone played by a sound server gives the thread that watches it.
struct ServerVoice {
    std::function<std::uint64_t()> calls;   // the server's calls for sound so far
    std::function<std::uint64_t()> faults;  // its underruns or missed cycles so far
    std::function<bool()> failed;           // the stream has failed outright
    std::function<bool()> canGrow;          // a longer buffer is left to try
    std::function<void()> stepUp;           // to the next longer buffer, in place
    std::function<void()> disconnect;       // from the server; this thread renders from then on
    std::function<bool()> connect;          // to a server again, when one answers
    std::function<bool()> paused;           // the voice is paused: no calls are expected
};

// The watching thread of such a voice, until `stop`. The server's calls release the ticks; this
// thread only watches, with the stream's faults as what asks for a longer buffer. When the
// server goes quiet for good, the voice is `lost`: this thread plays on silently in real time,
// so that the key screen's clock goes on, and connects again as soon as a server answers.
void watchServerVoice(SidetoneCore& core, Outages& outages, std::atomic<bool>& lost,
                      const std::atomic<bool>& stop, double retryEvery, const ServerVoice& voice);

// Runs a source's notifier: releases what is due, sleeping in between, until `stop`.
void runNotifier(Source& source, const std::atomic<bool>& stop);

// For a stream whose device has gone: plays `source` silently in real time on this thread (a
// source that `rests` is left waiting while idle), so that nobody waits forever, and calls
// `reopen` every `retryEvery` seconds until it succeeds (returns true) or `stop`.
bool paceUntilBack(Source& source, const std::atomic<bool>& stop, bool rests, double retryEvery,
                   const std::function<bool()>& reopen);

// Plays every source added to it in real time, 40 samples every 5 ms, on a thread of its own;
// with a file, mixes them into it. The file starts with the first sound and holds the idle
// silence between sounds, so it is a faithful timeline of what was played. While every source
// is idle the thread sleeps and counts the time as silence when it wakes.
class PacedEngine {
  public:
    static constexpr std::size_t kBlock = 40;
    using FileProblem = std::function<void(const std::string& sentence)>;

    // Takes the file over; `onFileProblem` is called on the engine's thread if writing fails.
    explicit PacedEngine(SNDFILE* file = nullptr, std::string path = {},
                         FileProblem onFileProblem = {});
    ~PacedEngine();

    void add(std::shared_ptr<Source> source);
    void remove(const Source* source);
    // A source has something to play: stop resting.
    void wake();
    // Writes the header and closes the file; later blocks are still paced, but not written.
    void closeFile();

  private:
    void run();
    bool allIdle() const;
    void writeBlock(const std::int16_t* block, Rendered rendered);
    bool writeSamples(const std::int16_t* samples, std::size_t count);
    void closeFileLocked();

    std::mutex mutex_;
    std::condition_variable wakeUp_;
    std::vector<std::shared_ptr<Source>> sources_;
    SNDFILE* file_;
    const std::string path_;
    const FileProblem onFileProblem_;
    bool stop_ = false;
    bool started_ = false;              // the first sound has been written
    std::uint64_t pendingSilence_ = 0;  // silence to write before the next sound
    std::uint64_t framesWritten_ = 0;
    unsigned blocksSinceHeader_ = 0;
    std::thread thread_;
};

// A WaveOut on a PacedEngine.
class PacedWaveOut : public WaveOut, public OutputProbe {
  public:
    PacedWaveOut(std::shared_ptr<PacedEngine> engine, DoneTiming timing,
                 const Dispatcher& dispatcher);
    ~PacedWaveOut() override;

    void setDoneHandler(DoneHandler handler) override { core_->setDoneHandler(std::move(handler)); }
    void write(std::span<const std::int16_t> samples, std::uint64_t tag) override {
        core_->write(samples, tag);
    }
    void reset() override { core_->reset(); }
    const Source& source() const override { return *core_; }

  private:
    std::shared_ptr<PacedEngine> engine_;
    std::shared_ptr<StreamCore> core_;
    std::atomic<bool> stop_{false};
    std::thread notifier_;
};

// The key screens' voice on a PacedEngine.
class PacedSidetone : public keytut::SidetoneVoice, public OutputProbe {
  public:
    PacedSidetone(std::shared_ptr<PacedEngine> engine, const Dispatcher& dispatcher,
                  const keytut::Tone& tone);
    ~PacedSidetone() override;

    void setTickHandler(TickHandler tick) override { core_->setTickHandler(std::move(tick)); }
    void setTone(bool on) override { core_->setTone(on); }
    bool lost() const override { return false; }
    const Source& source() const override { return *core_; }

  private:
    std::shared_ptr<PacedEngine> engine_;
    std::shared_ptr<SidetoneCore> core_;
    std::atomic<bool> stop_{false};
    std::thread notifier_;
};

// The Null and WavFile backends.
class PacedSystem : public AudioSystem {
  public:
    PacedSystem(SNDFILE* file, const AudioOptions& options, std::string problem);
    ~PacedSystem() override;

    std::unique_ptr<WaveOut> open(DoneTiming timing) override;
    std::unique_ptr<keytut::SidetoneVoice> openSidetone(keytut::ToneSettings tone) override;
    std::string problem() const override { return problem_; }

  private:
    std::shared_ptr<PacedEngine> engine_;
    Dispatcher dispatcher_;
    int sidetoneAmplitude_;
    std::string problem_;
};

// Opens the PortAudio backend, or returns null with `problem` set when no device can be used.
std::unique_ptr<AudioSystem> createPortAudioSystem(const AudioOptions& options,
                                                   std::string& problem);

// The sentence for the learner when the sound card cannot be used.
std::string noSoundCardProblem(const std::string& reason);

}  // namespace audio::detail
