// keytut-measure-audio: measures the sound output on this machine's default device.
//
//   keytut-measure-audio play [--wpm C[/W]] [--ideal FILE.wav] [--offsets FILE] TEXT
//       Plays TEXT one character per buffer, the next written on the done notice of the last
//       (the sender's protocol), and prints how long that took against the ideal. --ideal
//       writes the buffers back to back as a WAV file and --offsets the sample offset at which
//       each buffer starts in it, for analyse_tones.py.
//   keytut-measure-audio ring [SECONDS]
//       Keeps 20 buffers of 40 samples queued with done notices at playback time and prints
//       the spacing of the notices on the main thread.
//   keytut-measure-audio sidetone [SECONDS]
//       Opens the key screens' voice and keys it on and off (60 ms each) for SECONDS with the
//       tone set as the key changes (the MIDI and keyboard-type keys), as long again with the
//       key read at each tick (the serial port's lines), then leaves it alone as long: prints
//       the key-to-tone delay of each (from the playback times the device reports), the tick
//       rate and spacing, and the CPU used while nobody keys.
//   keytut-measure-audio rest [SECONDS]
//       Opens the sender's stream, leaves it idle, prints the CPU it uses over SECONDS, then
//       writes one character and prints how soon it is played.
//
// Options before the mode: --backend portaudio|null|wav:FILE (default portaudio); --pitch HZ
// (400 to 1000 in steps of 50, default 800) and --soft-edges, the tone that play and sidetone
// sound.
#include <sndfile.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

#include <sys/resource.h>

#include "platform/audio/audio_system.h"
#include "platform/audio/backends.h"
#include "tools/monitor_capture.h"

namespace {

using Clock = std::chrono::steady_clock;
using Samples = std::vector<std::int16_t>;

// The main thread stands in for the UI thread.
class MainLoop {
  public:
    audio::Dispatcher dispatcher() {
        return [this](std::function<void()> f) {
            std::lock_guard lock(mutex_);
            queue_.push_back(std::move(f));
            posted_.notify_all();
        };
    }
    void runUntil(const std::function<bool()>& done, Clock::time_point deadline) {
        while (!done() && Clock::now() < deadline) {
            std::function<void()> f;
            {
                std::unique_lock lock(mutex_);
                if (!posted_.wait_until(lock, deadline, [this] { return !queue_.empty(); })) {
                    return;
                }
                f = std::move(queue_.front());
                queue_.pop_front();
            }
            f();
        }
    }
    void runFor(Clock::duration d) {
        runUntil([] { return false; }, Clock::now() + d);
    }

  private:
    std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<std::function<void()>> queue_;
};

// The standard Morse timing, self-contained so that this tool measures the device only.
const std::map<char, const char*> kCodes = {
    {'A', ".-"},    {'B', "-..."},   {'C', "-.-."},   {'D', "-.."},    {'E', "."},
    {'F', "..-."},  {'G', "--."},    {'H', "...."},   {'I', ".."},     {'J', ".---"},
    {'K', "-.-"},   {'L', ".-.."},   {'M', "--"},     {'N', "-."},     {'O', "---"},
    {'P', ".--."},  {'Q', "--.-"},   {'R', ".-."},    {'S', "..."},    {'T', "-"},
    {'U', "..-"},   {'V', "...-"},   {'W', ".--"},    {'X', "-..-"},   {'Y', "-.--"},
    {'Z', "--.."},  {'0', "-----"},  {'1', ".----"},  {'2', "..---"},  {'3', "...--"},
    {'4', "....-"}, {'5', "....."},  {'6', "-...."},  {'7', "--..."},  {'8', "---.."},
    {'9', "----."}, {'.', ".-.-.-"}, {',', "--..--"}, {'?', "..--.."}, {'/', "-..-."},
};

Samples synthesise(char c, int charDot, int wordDot, const keytut::Tone& tone) {
    Samples s;
    if (c == ' ' || c == '\r')
        return Samples(4 * wordDot, 0);
    auto it = kCodes.find(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    if (it == kCodes.end())
        return s;
    for (const char* e = it->second; *e; ++e) {
        if (e != it->second)
            s.insert(s.end(), charDot, 0);
        const auto length = static_cast<std::size_t>((*e == '-' ? 3 : 1) * charDot);
        for (std::size_t k = 1; k <= length; ++k)
            s.push_back(tone.shaped(k, std::min(k - 1, length - k)));
    }
    s.insert(s.end(), 3 * wordDot, 0);
    return s;
}

double ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

int play(audio::AudioSystem& system, MainLoop& loop, const std::string& text, int charWpm,
         int wordWpm, const keytut::Tone& tone, const std::string& idealPath,
         const std::string& offsetsPath) {
    const int charDot = static_cast<int>(std::lround(9200.0 / charWpm));
    const int wordDot = std::max(charDot, static_cast<int>(std::lround(9200.0 / wordWpm)));
    std::vector<Samples> buffers;
    for (char c : text)
        buffers.push_back(synthesise(c, charDot, wordDot, tone));

    Samples ideal;
    std::ofstream offsets;
    if (!offsetsPath.empty())
        offsets.open(offsetsPath);
    for (const auto& b : buffers) {
        if (offsets)
            offsets << ideal.size() << '\n';
        ideal.insert(ideal.end(), b.begin(), b.end());
    }
    if (!idealPath.empty()) {
        SF_INFO info{};
        info.samplerate = 8000;
        info.channels = 1;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        SNDFILE* f = sf_open(idealPath.c_str(), SFM_WRITE, &info);
        if (!f) {
            std::fprintf(stderr, "cannot write %s\n", idealPath.c_str());
            return 1;
        }
        sf_write_short(f, ideal.data(), static_cast<sf_count_t>(ideal.size()));
        sf_close(f);
    }

    auto out = system.open(audio::DoneTiming::WhenTaken);
    auto* probe = dynamic_cast<audio::detail::OutputProbe*>(out.get());
    auto* core = probe ? dynamic_cast<const audio::detail::StreamCore*>(&probe->source()) : nullptr;
    loop.runFor(std::chrono::milliseconds(500));  // the stream plays silence from its start
    std::size_t next = 0;
    bool finished = false;
    Clock::time_point start, end;
    double lastHeard = 0;  // when the last sample of the last buffer plays, on the steady clock
    out->setDoneHandler([&](std::uint64_t) {
        if (next < buffers.size()) {
            out->write(buffers[next], next);
            ++next;
        } else {
            end = Clock::now();
            finished = true;
            if (core) {
                lastHeard = core->lastStartTime() +
                            static_cast<double>(buffers.back().size()) / audio::kSampleRate;
            }
        }
    });
    start = Clock::now();
    out->write(buffers[next], next);
    ++next;
    double idealMs = ideal.size() / 8.0;
    loop.runUntil([&] { return finished; },
                  Clock::now() + std::chrono::milliseconds(static_cast<int>(idealMs * 3) + 5000));
    if (!finished) {
        std::printf("play: the last done notice did not come (lost=%d)\n", out->lost());
        return 1;
    }
    loop.runFor(std::chrono::milliseconds(400));  // let the tail reach the loudspeaker
    double wall = ms(end - start);
    std::printf("play: %zu characters at %d/%d wpm (dot %d samples)\n", buffers.size(), charWpm,
                wordWpm, charDot);
    std::printf("play: ideal %.2f ms (sum of buffers, %zu samples)\n", idealMs, ideal.size());
    std::printf("play: first write to last done notice %.2f ms: %+.3f ms per character\n", wall,
                (wall - idealMs) / static_cast<double>(buffers.size()));
    if (core) {
        double noticeAt = std::chrono::duration<double>(end.time_since_epoch()).count();
        std::printf("play: the end-of-text notice came %.1f ms before the last sample is heard\n",
                    (lastHeard - noticeAt) * 1000);
    }
    std::printf("play: device lost: %s\n", out->lost() ? "yes" : "no");
    return 0;
}

int ring(audio::AudioSystem& system, MainLoop& loop, double seconds) {
    constexpr int kBuffers = 20, kSamples = 40;
    auto out = system.open(audio::DoneTiming::AtPlayback);
    Samples block(kSamples);
    for (int i = 0; i < kSamples; ++i) {
        block[i] = static_cast<std::int16_t>(std::lround(std::sin(2 * M_PI * i / 10) * 5000));
    }
    std::vector<Clock::time_point> ticks;
    ticks.reserve(static_cast<std::size_t>(seconds * 250) + 1000);
    out->setDoneHandler([&](std::uint64_t tag) {
        ticks.push_back(Clock::now());
        out->write(block, tag + kBuffers);
    });
    for (int i = 0; i < kBuffers; ++i)
        out->write(block, i);
    // Settle for a second, then measure.
    loop.runFor(std::chrono::seconds(1));
    std::size_t from = ticks.size();
    auto measureStart = Clock::now();
    loop.runFor(
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds)));
    double elapsed = std::chrono::duration<double>(Clock::now() - measureStart).count();
    std::vector<double> gaps;
    for (std::size_t i = from + 1; i < ticks.size(); ++i)
        gaps.push_back(ms(ticks[i] - ticks[i - 1]));
    if (gaps.size() < 2) {
        std::printf("ring: only %zu notices in %.1f s (lost=%d)\n", gaps.size(), elapsed,
                    out->lost());
        return 1;
    }
    double mean = std::accumulate(gaps.begin(), gaps.end(), 0.0) / gaps.size();
    double var = 0;
    for (double g : gaps)
        var += (g - mean) * (g - mean);
    double sd = std::sqrt(var / (gaps.size() - 1));
    std::vector<double> sorted = gaps;
    std::sort(sorted.begin(), sorted.end());
    auto pct = [&](double p) { return sorted[static_cast<std::size_t>(p * (sorted.size() - 1))]; };
    std::printf("ring: %zu notices in %.2f s = %.1f per second\n", ticks.size() - from, elapsed,
                (ticks.size() - from) / elapsed);
    std::printf(
        "ring: interval mean %.3f ms, sd %.3f ms, p1 %.3f ms, p99 %.3f ms, min %.3f ms, "
        "max %.3f ms\n",
        mean, sd, pct(0.01), pct(0.99), sorted.front(), sorted.back());
    std::printf("ring: device lost: %s\n", out->lost() ? "yes" : "no");
    return 0;
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Percent of one core the process used while `run` ran.
double cpuPercent(const std::function<void()>& run) {
    double cpu = cpuSeconds();
    auto start = Clock::now();
    run();
    double wall = std::chrono::duration<double>(Clock::now() - start).count();
    return 100 * (cpuSeconds() - cpu) / wall;
}

struct Spread {
    double mean, p1, p50, p99, max;
};
Spread spread(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    auto pct = [&](double p) { return values[static_cast<std::size_t>(p * (values.size() - 1))]; };
    double mean = std::accumulate(values.begin(), values.end(), 0.0) / values.size();
    return {mean, pct(0.01), pct(0.5), pct(0.99), values.back()};
}

// Key-downs keyed on a voice: when each was keyed (steady seconds) and the key-to-tone delays
// the device reports.
struct Keyed {
    std::vector<double> keyDowns;
    std::vector<double> delays;
};

// Keys the voice on and off every 60 ms for `seconds`, as a fast dot would be keyed. Without
// `key` the tone is set at each change; with it, `key` is told of the change and the tick
// handler sets the tone.
Keyed keyOnAndOff(keytut::SidetoneVoice& voice, MainLoop& loop,
                  const audio::detail::SidetoneCore* core, double seconds,
                  const std::function<void(bool down)>& key) {
    Keyed keyed;
    std::uint64_t onsets = core ? core->onsets() : 0;
    auto end = Clock::now() +
               std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    bool down = false;
    while (Clock::now() < end) {
        down = !down;
        if (down)
            keyed.keyDowns.push_back(audio::detail::steadySeconds());
        if (key)
            key(down);
        else
            voice.setTone(down);
        loop.runFor(std::chrono::milliseconds(60));
        if (core && core->onsets() != onsets) {
            onsets = core->onsets();
            if (down)
                keyed.delays.push_back(core->lastKeyToTone() * 1000);
        }
    }
    if (key)
        key(false);
    voice.setTone(false);
    loop.runFor(std::chrono::milliseconds(100));  // the last onset reaches the monitor
    return keyed;
}

void printDelays(const char* what, const char* how, const std::vector<double>& delays) {
    if (delays.empty()) {
        std::printf("sidetone: %s: no %s measured\n", how, what);
        return;
    }
    Spread d = spread(delays);
    std::printf(
        "sidetone: %s: %s over %zu key-downs: mean %.2f ms, median %.2f ms, p99 %.2f ms, "
        "max %.2f ms\n",
        how, what, delays.size(), d.mean, d.p50, d.p99, d.max);
}

int sidetone(audio::AudioSystem& system, MainLoop& loop, double seconds,
             keytut::ToneSettings tone) {
    auto voice = system.openSidetone(tone);
    auto* probe = dynamic_cast<audio::detail::OutputProbe*>(voice.get());
    auto* core =
        probe ? dynamic_cast<const audio::detail::SidetoneCore*>(&probe->source()) : nullptr;
    std::vector<Clock::time_point> ticks;
    ticks.reserve(static_cast<std::size_t>(seconds * 3 * 250) + 1000);
    voice->setTickHandler([&] { ticks.push_back(Clock::now()); });
    // On PipeWire the tone is also looked for where it arrives: in the sink's monitor.
    std::unique_ptr<MonitorCapture> monitor;
    if (probe && probe->route().rfind("PipeWire", 0) == 0)
        monitor = MonitorCapture::open();
    loop.runFor(std::chrono::seconds(1));  // settle

    // First the tone set the moment the key changes, as the MIDI, keyboard and input adapters
    // report it.
    auto start = Clock::now();
    std::size_t from = ticks.size();
    Keyed event = keyOnAndOff(*voice, loop, core, seconds, nullptr);
    double keyedSeconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::size_t keyedTicks = ticks.size() - from;
    std::vector<double> gaps;
    for (std::size_t i = from + 1; i < ticks.size(); ++i)
        gaps.push_back(ms(ticks[i] - ticks[i - 1]));

    // Then the key read at each tick, as the serial port's lines are: the tone waits for the
    // tick, then for the device, and both are the learner's delay.
    bool lineDown = false, toneDown = false;
    double lineChanged = 0;
    std::vector<double> tickWaits;  // from the key's change to the tick that reads it, ms
    voice->setTickHandler([&] {
        ticks.push_back(Clock::now());
        if (lineDown == toneDown)
            return;
        toneDown = lineDown;
        if (toneDown)
            tickWaits.push_back((audio::detail::steadySeconds() - lineChanged) * 1000);
        voice->setTone(toneDown);
    });
    Keyed polled = keyOnAndOff(*voice, loop, core, seconds, [&](bool down) {
        lineDown = down;
        lineChanged = audio::detail::steadySeconds();
    });
    voice->setTickHandler([&] { ticks.push_back(Clock::now()); });
    std::vector<double> polledDelays;
    for (std::size_t k = 0; k < polled.delays.size() && k < tickWaits.size(); ++k)
        polledDelays.push_back(tickWaits[k] + polled.delays[k]);

    // Then the first tone after a rest: the key screens pause the voice while nothing is keyed,
    // and the key's next move plays it again.
    Keyed rested;
    bool pauses = true;
    for (int i = 0; i < 20 && pauses; ++i) {
        pauses = voice->pause();
        loop.runFor(std::chrono::milliseconds(300));
        std::uint64_t onsets = core ? core->onsets() : 0;
        rested.keyDowns.push_back(audio::detail::steadySeconds());
        voice->resume();
        voice->setTone(true);
        loop.runFor(std::chrono::milliseconds(60));
        if (core && core->onsets() != onsets)
            rested.delays.push_back(core->lastKeyToTone() * 1000);
        voice->setTone(false);
        loop.runFor(std::chrono::milliseconds(60));
    }

    std::vector<double> seenEvent, seenPolled, seenRested, silences;
    std::string monitorState;
    if (monitor) {
        seenEvent = monitor->delaysAfter(event.keyDowns, 0.06);
        seenPolled = monitor->delaysAfter(polled.keyDowns, 0.06);
        seenRested = monitor->delaysAfter(rested.keyDowns, 0.06);
        silences = monitor->silences();
        monitorState = monitor->state();
        monitor.reset();  // not counted in the CPU below
    }

    std::size_t idleFrom = ticks.size();
    double cpu = cpuPercent([&] {
        loop.runFor(
            std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds)));
    });
    double pausedCpu = -1;
    std::size_t pausedTicks = 0;
    if (voice->pause()) {
        std::size_t before = ticks.size();
        pausedCpu = cpuPercent([&] {
            loop.runFor(std::chrono::duration_cast<Clock::duration>(
                std::chrono::duration<double>(seconds)));
        });
        pausedTicks = ticks.size() - before;
        voice->resume();
    }
    if (gaps.size() < 2) {
        std::printf("sidetone: only %zu ticks (lost=%d)\n", gaps.size(), voice->lost());
        return 1;
    }
    Spread g = spread(gaps);
    std::printf("sidetone: %zu ticks in %.2f s keyed = %.1f per second; %zu in %.0f s idle\n",
                keyedTicks, keyedSeconds, keyedTicks / keyedSeconds, ticks.size() - idleFrom,
                seconds);
    std::printf("sidetone: tick interval mean %.3f ms, p1 %.3f ms, p99 %.3f ms, max %.3f ms\n",
                g.mean, g.p1, g.p99, g.max);
    const char* const kEvent = "tone set as the key changes (MIDI, keyboard, input adapters)";
    const char* const kPolled = "key read at each tick (serial lines)";
    printDelays("key-to-tone delay", kEvent, event.delays);
    printDelays("wait for the tick", kPolled, tickWaits);
    printDelays("key-to-tone delay", kPolled, polledDelays);
    const char* const kRested = "first tone after a rest of the voice";
    if (pauses)
        printDelays("key-to-tone delay", kRested, rested.delays);
    else
        std::printf("sidetone: %s: this voice does not pause\n", kRested);
    if (!monitorState.empty()) {
        if (!seenEvent.empty() || !seenPolled.empty()) {
            // Where the capture stream of the sink's monitor saw the tone start, at the end of
            // the capture period that held it.
            printDelays("tone's start in the sink's monitor", kEvent, seenEvent);
            printDelays("tone's start in the sink's monitor", kPolled, seenPolled);
            if (pauses)
                printDelays("tone's start in the sink's monitor", kRested, seenRested);
            // Keyed every 60 ms in whole 5 ms blocks, the tones are at least 50 ms apart: a
            // shorter silence is a break in a tone, a period the stream missed.
            auto breaks =
                std::count_if(silences.begin(), silences.end(), [](double s) { return s < 40; });
            std::printf("sidetone: breaks inside the tones seen in the monitor: %ld in %zu tones\n",
                        static_cast<long>(breaks), silences.size() + 1 - breaks);
        } else {
            std::printf("sidetone: the sink's monitor heard no tone (%s)\n", monitorState.c_str());
        }
    }
    std::printf("sidetone: CPU with the voice open and nobody keying: %.2f %% of one core\n", cpu);
    if (pausedCpu >= 0)
        std::printf(
            "sidetone: CPU with the voice paused: %.2f %% of one core, %zu ticks in %.0f s\n",
            pausedCpu, pausedTicks, seconds);
    std::printf("sidetone: device lost: %s\n", voice->lost() ? "yes" : "no");
    if (probe) {
        std::printf("sidetone: underruns (or periods missed) reported: %llu in %.0f s\n",
                    static_cast<unsigned long long>(probe->underruns()),
                    2 * keyedSeconds + seconds + 1);
        std::printf("sidetone: played through %s\n", probe->route().c_str());
    }
    return 0;
}

int rest(audio::AudioSystem& system, MainLoop& loop, double seconds) {
    auto out = system.open(audio::DoneTiming::WhenTaken);
    auto* probe = dynamic_cast<audio::detail::OutputProbe*>(out.get());
    auto* core = probe ? dynamic_cast<const audio::detail::StreamCore*>(&probe->source()) : nullptr;
    bool done = false;
    out->setDoneHandler([&](std::uint64_t) { done = true; });
    loop.runFor(std::chrono::seconds(3));  // the stream has played its start and come to rest
    double cpu = cpuPercent([&] {
        loop.runFor(
            std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds)));
    });
    std::printf("rest: CPU of an open, idle sender stream over %.0f s: %.3f %% of one core\n",
                seconds, cpu);
    Samples dot(800, 0);
    for (std::size_t i = 0; i < dot.size(); ++i)
        dot[i] = static_cast<std::int16_t>(std::lround(std::sin(2 * M_PI * i / 10) * 5000));
    double requested = audio::detail::steadySeconds();
    out->write(dot, 1);
    loop.runUntil([&] { return done; }, Clock::now() + std::chrono::seconds(10));
    if (!done || !core || core->starts() == 0) {
        std::printf("rest: the character was not played (lost=%d)\n", out->lost());
        return 1;
    }
    std::printf(
        "rest: first sample of a character written at rest is heard %.1f ms after the "
        "write\n",
        (core->lastStartTime() - requested) * 1000);
    return 0;
}

int usage() {
    std::fprintf(stderr,
                 "usage: keytut-measure-audio [--backend portaudio|null|wav:FILE] [--pitch HZ] "
                 "[--soft-edges]\n"
                 "           play [--wpm C[/W]] [--ideal FILE.wav] [--offsets FILE] TEXT\n"
                 "       keytut-measure-audio [--backend ...] ring|sidetone|rest [SECONDS]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    audio::AudioOptions options;
    MainLoop loop;
    options.dispatcher = loop.dispatcher();
    std::size_t i = 0;
    keytut::ToneSettings tone;
    while (i < args.size() && args[i].rfind("--", 0) == 0) {
        if (args[i] == "--soft-edges") {
            tone.softEdges = true;
            ++i;
            continue;
        }
        if (i + 1 >= args.size())
            return usage();
        const std::string& b = args[i + 1];
        if (args[i] == "--pitch") {
            tone.pitch = std::atoi(b.c_str());
            if (!keytut::pitchOffered(tone.pitch))
                return usage();
        } else if (args[i] != "--backend") {
            return usage();
        } else if (b == "null") {
            options.backend = audio::Backend::Null;
        } else if (b.rfind("wav:", 0) == 0) {
            options.backend = audio::Backend::WavFile;
            options.wavPath = b.substr(4);
        } else if (b != "portaudio") {
            return usage();
        }
        i += 2;
    }
    if (i >= args.size())
        return usage();
    const std::string mode = args[i++];
    auto system = audio::createAudioSystem(options);
    if (!system->problem().empty())
        std::printf("problem: %s\n", system->problem().c_str());

    if (mode == "ring" || mode == "sidetone" || mode == "rest") {
        double seconds = i < args.size() ? std::atof(args[i].c_str()) : 10.0;
        if (seconds <= 0)
            return usage();
        if (mode == "sidetone")
            return sidetone(*system, loop, seconds, tone);
        if (mode == "rest")
            return rest(*system, loop, seconds);
        return ring(*system, loop, seconds);
    }
    if (mode != "play")
        return usage();
    int charWpm = 20, wordWpm = 20;
    std::string idealPath, offsetsPath;
    for (; i + 1 < args.size(); i += 2) {
        if (args[i] == "--wpm") {
            if (std::sscanf(args[i + 1].c_str(), "%d/%d", &charWpm, &wordWpm) == 1) {
                wordWpm = charWpm;
            }
        } else if (args[i] == "--ideal") {
            idealPath = args[i + 1];
        } else if (args[i] == "--offsets") {
            offsetsPath = args[i + 1];
        } else {
            break;
        }
    }
    if (i + 1 != args.size() || args[i].empty() || charWpm < 5 || charWpm > 60 || wordWpm < 5 ||
        wordWpm > 60) {
        return usage();
    }
    return play(*system, loop, args[i], charWpm, std::min(wordWpm, charWpm),
                keytut::Tone(options.sidetoneAmplitude, tone), idealPath, offsetsPath);
}
