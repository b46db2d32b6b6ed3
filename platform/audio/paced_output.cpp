#include <sndfile.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

#include "backends.h"

namespace audio::detail {

namespace {
constexpr auto kBlockDuration = std::chrono::microseconds(5000);  // PacedEngine::kBlock samples
// Further behind than this (a suspended machine, a debugger), the clock jumps instead of
// racing to catch up; the missed time still counts as silence in the file.
constexpr auto kMaxLag = std::chrono::seconds(1);

double toSeconds(std::chrono::steady_clock::time_point t) {
    return std::chrono::duration<double>(t.time_since_epoch()).count();
}

// Why a write failed, in the learner's words.
std::string writeFailure(int error) {
    switch (error) {
        case ENOSPC:
            return "the disk is full";
#ifdef EDQUOT
        case EDQUOT:
            return "the disk quota is used up";
#endif
        case EFBIG:
            return "the file has reached the largest size allowed";
        default:
            return error ? std::strerror(error) : "the file could not be written";
    }
}
}  // namespace

double steadySeconds() {
    return toSeconds(std::chrono::steady_clock::now());
}

void tellLater(const Dispatcher& dispatcher, const ProblemHandler& handler, std::string sentence) {
    if (!handler)
        return;
    if (!dispatcher) {
        handler(sentence);
        return;
    }
    dispatcher([handler, sentence = std::move(sentence)] { handler(sentence); });
}

void runNotifier(Source& source, const std::atomic<bool>& stop) {
    while (!stop.load()) {
        double wait = source.releaseDue(steadySeconds());
        source.waitForWork(wait < 0 ? 0.5 : wait);
    }
}

bool paceUntilBack(Source& source, const std::atomic<bool>& stop, bool rests, double retryEvery,
                   const std::function<bool()>& reopen) {
    using clock = std::chrono::steady_clock;
    constexpr auto kBlockDuration =
        std::chrono::microseconds(1'000'000 * PacedEngine::kBlock / kSampleRate);
    std::array<std::int16_t, PacedEngine::kBlock> scratch{};
    auto next = clock::now();
    double nextTry = steadySeconds() + retryEvery;
    while (!stop.load()) {
        double now = steadySeconds();
        if (now >= nextTry) {
            if (reopen())
                return true;
            nextTry = steadySeconds() + retryEvery;
        }
        if (rests && source.idle()) {
            source.releaseDue(now);
            source.waitForWork(std::max(0.0, nextTry - now));
            next = clock::now();
            continue;
        }
        source.render(scratch.data(), scratch.size(), steadySeconds());
        source.releaseDue(steadySeconds());
        next += kBlockDuration;
        if (clock::now() - next > std::chrono::seconds(1))
            next = clock::now();
        std::this_thread::sleep_until(next);
    }
    return false;
}

PacedEngine::PacedEngine(SNDFILE* file, std::string path, FileProblem onFileProblem)
    : file_(file), path_(std::move(path)), onFileProblem_(std::move(onFileProblem)) {
    thread_ = std::thread([this] { run(); });
}

PacedEngine::~PacedEngine() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wakeUp_.notify_all();
    thread_.join();
    std::lock_guard lock(mutex_);
    closeFileLocked();
}

void PacedEngine::add(std::shared_ptr<Source> source) {
    {
        std::lock_guard lock(mutex_);
        sources_.push_back(std::move(source));
    }
    wakeUp_.notify_all();
}

void PacedEngine::remove(const Source* source) {
    std::lock_guard lock(mutex_);
    std::erase_if(sources_, [source](const auto& s) { return s.get() == source; });
}

void PacedEngine::wake() {
    // Taking the lock orders this with the engine's look at its sources before it sleeps.
    { std::lock_guard lock(mutex_); }
    wakeUp_.notify_all();
}

void PacedEngine::closeFile() {
    std::lock_guard lock(mutex_);
    closeFileLocked();
}

void PacedEngine::closeFileLocked() {
    if (!file_)
        return;
    sf_close(file_);  // trailing silence after the last sound is left out
    file_ = nullptr;
}

bool PacedEngine::allIdle() const {
    return std::all_of(sources_.begin(), sources_.end(), [](const auto& s) { return s->idle(); });
}

bool PacedEngine::writeSamples(const std::int16_t* samples, std::size_t count) {
    errno = 0;
    auto n = static_cast<sf_count_t>(count);
    sf_count_t written = sf_write_short(file_, samples, n);
    if (written == n) {
        framesWritten_ += count;
        return true;
    }
    // A full disk or a file-size limit. Keep what was recorded as a whole, valid file: cut off
    // any partial block and let the header say how long the sound is.
    const int error = errno;
    auto whole = static_cast<sf_count_t>(framesWritten_);
    sf_command(file_, SFC_FILE_TRUNCATE, &whole, sizeof(whole));
    closeFileLocked();
    if (onFileProblem_) {
        onFileProblem_("Recording to \"" + path_ + "\" stopped because " + writeFailure(error) +
                       "; what was recorded until then is kept, and the exercises go on at "
                       "their normal pace without sound.");
    }
    return false;
}

void PacedEngine::writeBlock(const std::int16_t* block, Rendered rendered) {
    if (!file_)
        return;
    if (rendered.first == rendered.end) {
        if (started_)
            pendingSilence_ += kBlock;
        return;
    }
    std::size_t from = 0;
    if (!started_) {
        from = rendered.first;
        started_ = true;
    }
    static const std::array<std::int16_t, 1024> zeros{};
    while (pendingSilence_ > 0) {
        auto n = static_cast<std::size_t>(std::min<std::uint64_t>(pendingSilence_, zeros.size()));
        if (!writeSamples(zeros.data(), n))
            return;
        pendingSilence_ -= n;
    }
    if (!writeSamples(block + from, rendered.end - from))
        return;
    pendingSilence_ = kBlock - rendered.end;
    // Keep the header right now and then, so the file can be read while the program runs.
    if (++blocksSinceHeader_ >= 200) {
        blocksSinceHeader_ = 0;
        sf_command(file_, SFC_UPDATE_HEADER_NOW, nullptr, 0);
    }
}

void PacedEngine::run() {
    using clock = std::chrono::steady_clock;
    std::array<std::int16_t, kBlock> block{};
    std::array<std::int32_t, kBlock> mix{};
    std::unique_lock lock(mutex_);
    auto next = clock::now();
    while (!stop_) {
        if (allIdle()) {
            // Nothing to play: sleep until there is, counting the pause as silence.
            auto idleFrom = clock::now();
            wakeUp_.wait(lock, [this] { return stop_ || !allIdle(); });
            auto now = clock::now();
            if (started_)
                pendingSilence_ += (now - idleFrom) / kBlockDuration * kBlock;
            next = now;
            continue;
        }
        if (wakeUp_.wait_until(lock, next, [this] { return stop_; }))
            break;

        mix.fill(0);
        Rendered all{kBlock, kBlock};
        const double start = toSeconds(next);
        for (const auto& source : sources_) {
            Rendered r = source->render(block.data(), kBlock, start);
            if (r.first == r.end)
                continue;
            for (std::size_t i = r.first; i < r.end; ++i)
                mix[i] += block[i];
            if (all.first == all.end) {
                all = r;
            } else {
                all.first = std::min(all.first, r.first);
                all.end = std::max(all.end, r.end);
            }
        }
        for (std::size_t i = 0; i < kBlock; ++i) {
            block[i] = static_cast<std::int16_t>(std::clamp(mix[i], -32768, 32767));
        }
        writeBlock(block.data(), all);

        next += kBlockDuration;
        auto lag = clock::now() - next;
        if (lag > kMaxLag) {
            auto skipped = lag / kBlockDuration;
            if (started_)
                pendingSilence_ += static_cast<std::uint64_t>(skipped) * kBlock;
            next += skipped * kBlockDuration;
        }
    }
}

PacedWaveOut::PacedWaveOut(std::shared_ptr<PacedEngine> engine, DoneTiming timing,
                           const Dispatcher& dispatcher)
    : engine_(std::move(engine)), core_(std::make_shared<StreamCore>(timing, dispatcher)) {
    core_->setWrittenHook([engine = engine_.get()] { engine->wake(); });
    engine_->add(core_);
    notifier_ = std::thread([this] { runNotifier(*core_, stop_); });
}

PacedWaveOut::~PacedWaveOut() {
    core_->waitForTail();
    engine_->remove(core_.get());
    stop_ = true;
    core_->wake();
    notifier_.join();
    core_->close();
}

PacedSidetone::PacedSidetone(std::shared_ptr<PacedEngine> engine, const Dispatcher& dispatcher,
                             const keytut::Tone& tone)
    : engine_(std::move(engine)), core_(std::make_shared<SidetoneCore>(dispatcher, tone)) {
    engine_->add(core_);
    notifier_ = std::thread([this] { runNotifier(*core_, stop_); });
}

PacedSidetone::~PacedSidetone() {
    engine_->remove(core_.get());
    stop_ = true;
    core_->wake();
    notifier_.join();
    core_->close();
}

PacedSystem::PacedSystem(SNDFILE* file, const AudioOptions& options, std::string problem)
    : dispatcher_(options.dispatcher),
      sidetoneAmplitude_(options.sidetoneAmplitude),
      problem_(std::move(problem)) {
    auto told = [dispatcher = options.dispatcher, handler = options.problemHandler](
                    const std::string& sentence) { tellLater(dispatcher, handler, sentence); };
    engine_ = std::make_shared<PacedEngine>(file, options.wavPath, told);
}

PacedSystem::~PacedSystem() {
    engine_->closeFile();
}

std::unique_ptr<WaveOut> PacedSystem::open(DoneTiming timing) {
    return std::make_unique<PacedWaveOut>(engine_, timing, dispatcher_);
}

std::unique_ptr<keytut::SidetoneVoice> PacedSystem::openSidetone(keytut::ToneSettings tone) {
    return std::make_unique<PacedSidetone>(engine_, dispatcher_,
                                           keytut::Tone(sidetoneAmplitude_, tone));
}

void watchServerVoice(SidetoneCore& core, Outages& outages, std::atomic<bool>& lost,
                      const std::atomic<bool>& stop, double retryEvery, const ServerVoice& voice) {
    ServerWatch watch;
    watch.restart(steadySeconds(), voice.calls(), voice.faults());
    while (!stop.load()) {
        if (lost) {
            paceUntilBack(core, stop, false, retryEvery, [&] {
                if (!voice.connect())
                    return false;
                lost = false;
                outages.back();
                return true;
            });
            watch.restart(steadySeconds(), voice.calls(), voice.faults());
            continue;
        }
        core.waitForWork(0.1);
        if (voice.paused && voice.paused()) {
            // Paused on purpose: the silence of the server says nothing.
            watch.restart(steadySeconds(), voice.calls(), voice.faults());
            continue;
        }
        switch (watch.check(steadySeconds(), voice.calls(), voice.faults(), voice.failed(),
                            voice.canGrow())) {
            case ServerWatch::Verdict::Lost:
                voice.disconnect();
                lost = true;
                outages.lost();
                core.releaseDue(0, true);
                break;
            case ServerWatch::Verdict::StepUp:
                voice.stepUp();
                break;
            case ServerWatch::Verdict::Fine:
                break;
        }
    }
}

}  // namespace audio::detail
