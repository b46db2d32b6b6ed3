#include <sndfile.h>

#include <algorithm>
#include <array>

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
}  // namespace

double steadySeconds() {
    return toSeconds(std::chrono::steady_clock::now());
}

PacedEngine::PacedEngine(SNDFILE* file) : file_(file) {
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

void PacedEngine::add(std::shared_ptr<StreamCore> core) {
    {
        std::lock_guard lock(mutex_);
        cores_.push_back(std::move(core));
    }
    wakeUp_.notify_all();
}

void PacedEngine::remove(const StreamCore* core) {
    std::lock_guard lock(mutex_);
    std::erase_if(cores_, [core](const auto& c) { return c.get() == core; });
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
        auto n = static_cast<sf_count_t>(std::min<std::uint64_t>(pendingSilence_, zeros.size()));
        sf_write_short(file_, zeros.data(), n);
        pendingSilence_ -= static_cast<std::uint64_t>(n);
    }
    sf_write_short(file_, block + from, static_cast<sf_count_t>(rendered.end - from));
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
        if (cores_.empty()) {
            // Nothing open: sleep until a stream is, counting the pause as silence.
            auto idleFrom = clock::now();
            wakeUp_.wait(lock, [this] { return stop_ || !cores_.empty(); });
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
        for (const auto& core : cores_) {
            Rendered r = core->render(block.data(), kBlock, start);
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
    engine_->add(core_);
    notifier_ = std::thread([this] {
        while (!stop_.load()) {
            double wait = core_->releaseDue(steadySeconds());
            core_->waitForWork(wait < 0 ? 0.1 : wait);
        }
    });
}

PacedWaveOut::~PacedWaveOut() {
    engine_->remove(core_.get());
    stop_ = true;
    core_->wake();
    notifier_.join();
    core_->close();
}

PacedSystem::PacedSystem(SNDFILE* file, const Dispatcher& dispatcher, std::string problem)
    : engine_(std::make_shared<PacedEngine>(file)),
      dispatcher_(dispatcher),
      problem_(std::move(problem)) {}

PacedSystem::~PacedSystem() {
    engine_->closeFile();
}

std::unique_ptr<WaveOut> PacedSystem::open(DoneTiming timing) {
    return std::make_unique<PacedWaveOut>(engine_, timing, dispatcher_);
}

}  // namespace audio::detail
