// The backends behind createAudioSystem.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "audio_system.h"
#include "stream_core.h"

using SNDFILE = struct sf_private_tag;

namespace audio::detail {

// Seconds on the steady clock, the clock every stream's due times are measured on.
double steadySeconds();

// Plays every stream added to it in real time, 40 samples every 5 ms, on a thread of its own;
// with a file, mixes them into it. The file starts with the first sound and holds the idle
// silence between sounds, so it is a faithful timeline of what was played.
class PacedEngine {
  public:
    static constexpr std::size_t kBlock = 40;

    explicit PacedEngine(SNDFILE* file = nullptr);  // takes the file over
    ~PacedEngine();

    void add(std::shared_ptr<StreamCore> core);
    void remove(const StreamCore* core);
    // Writes the header and closes the file; later blocks are still paced, but not written.
    void closeFile();

  private:
    void run();
    void writeBlock(const std::int16_t* block, Rendered rendered);
    void closeFileLocked();

    std::mutex mutex_;
    std::condition_variable wakeUp_;
    std::vector<std::shared_ptr<StreamCore>> cores_;
    SNDFILE* file_;
    bool stop_ = false;
    bool started_ = false;              // the first sound has been written
    std::uint64_t pendingSilence_ = 0;  // silence to write before the next sound
    unsigned blocksSinceHeader_ = 0;
    std::thread thread_;
};

// A WaveOut on a PacedEngine.
class PacedWaveOut : public WaveOut {
  public:
    PacedWaveOut(std::shared_ptr<PacedEngine> engine, DoneTiming timing,
                 const Dispatcher& dispatcher);
    ~PacedWaveOut() override;

    void setDoneHandler(DoneHandler handler) override { core_->setDoneHandler(std::move(handler)); }
    void write(std::span<const std::int16_t> samples, std::uint64_t tag) override {
        core_->write(samples, tag);
    }
    void reset() override { core_->reset(); }

  private:
    std::shared_ptr<PacedEngine> engine_;
    std::shared_ptr<StreamCore> core_;
    std::atomic<bool> stop_{false};
    std::thread notifier_;
};

// The Null and WavFile backends.
class PacedSystem : public AudioSystem {
  public:
    PacedSystem(SNDFILE* file, const Dispatcher& dispatcher, std::string problem);
    ~PacedSystem() override;

    std::unique_ptr<WaveOut> open(DoneTiming timing) override;
    std::string problem() const override { return problem_; }

  private:
    std::shared_ptr<PacedEngine> engine_;
    Dispatcher dispatcher_;
    std::string problem_;
};

// Opens the PortAudio backend, or returns null with `problem` set when no device can be used.
std::unique_ptr<AudioSystem> createPortAudioSystem(const Dispatcher& dispatcher,
                                                   std::string& problem);

// The sentence for the learner when the sound card cannot be used.
std::string noSoundCardProblem(const std::string& reason);

}  // namespace audio::detail
