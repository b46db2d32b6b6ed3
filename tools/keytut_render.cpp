// keytut-render: writes the Morse of a text to a WAV file, exactly as the tutor's sender plays it.
#include <sndfile.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <functional>
#include <iostream>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/data_files.h"
#include "core/tutor.h"
#include "core/wave_out.h"
#include "exercises/edition_profiles.h"

namespace {

const char* const kUsage =
    "Usage: keytut-render [--char-wpm N] [--word-wpm N] [--pitch HZ] [--soft-edges]\n"
    "                     [--keyview] [--code-table FILE] -o OUT.wav TEXT\n"
    "Writes TEXT in Morse to OUT.wav (8000 Hz, mono, 16 bit), character by character as the\n"
    "tutor sends it. The code table is KEYTUT.CDE in the current folder unless --code-table\n"
    "names another. Speeds are words per minute from 5 to 60 (default 12); the word speed is\n"
    "never faster than the character speed. --pitch is the tone in Hz, 400 to 1000 in\n"
    "steps of 50 (default 800); --soft-edges lets each element rise and fall over 5 ms\n"
    "within its own length instead of starting and stopping at full strength.\n"
    "--keyview uses Keyview's quieter tone.\n"
    "Characters without a code are skipped and named; when none has a code nothing is\n"
    "written and the exit status is 1. Output of more than 4 GiB is written as RF64\n"
    "(--wav-limit BYTES sets that limit lower, for testing).\n";

class StderrMessages : public keytut::MessageSink {
  public:
    void showMessage(const std::string& text) override {
        std::cerr << "keytut-render: " << text << '\n';
    }
};

bool parseWpm(const std::string& text, int& wpm) {
    const char* end = text.data() + text.size();
    auto [ptr, error] = std::from_chars(text.data(), end, wpm);
    return error == std::errc() && ptr == end && wpm >= keytut::kSlowestWpm &&
           wpm <= keytut::kFastestWpm;
}

bool parsePitch(const std::string& text, int& pitch) {
    const char* end = text.data() + text.size();
    auto [ptr, error] = std::from_chars(text.data(), end, pitch);
    return error == std::errc() && ptr == end && keytut::pitchOffered(pitch);
}

// The sender's device for a file: every buffer goes to `sink` as it is written (nothing is held
// in memory) and is done at once, so the sender writes the next character straight away.
class StreamingWaveOut : public audio::WaveOut {
  public:
    using Sink = std::function<bool(std::span<const std::int16_t>)>;
    explicit StreamingWaveOut(Sink sink) : sink_(std::move(sink)) {}

    void setDoneHandler(DoneHandler handler) override { handler_ = std::move(handler); }
    void write(std::span<const std::int16_t> samples, std::uint64_t tag) override {
        if (!failed_ && !sink_(samples))
            failed_ = true;
        if (!failed_)
            pending_.push_back(tag);
    }
    void reset() override { pending_.clear(); }

    // Reports each buffer done in turn, which makes the sender write the next, until it stops
    // or the sink fails.
    void run() {
        while (!pending_.empty()) {
            std::uint64_t tag = pending_.front();
            pending_.pop_front();
            if (handler_)
                handler_(tag);
        }
    }

  private:
    Sink sink_;
    DoneHandler handler_;
    std::deque<std::uint64_t> pending_;
    bool failed_ = false;
};

// Sends `text` through the tutor's sender, each character's samples going to `sink`.
void send(keytut::Tutor& tutor, const std::string& text, StreamingWaveOut::Sink sink) {
    auto device = std::make_unique<StreamingWaveOut>(std::move(sink));
    StreamingWaveOut* out = device.get();
    tutor.sender.attach(std::move(device));
    tutor.sender.play(text, nullptr);
    out->run();
    tutor.sender.attach(nullptr);
}

struct CharacterSound {
    std::size_t samples = 0;
    bool tone = false;
};

// The characters quoted one by one, bytes that cannot be shown as their code.
int fail(const std::string& message) {
    std::cerr << "keytut-render: " << message << '\n';
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    int charWpm = 12;
    int wordWpm = -1;
    bool keyview = false;
    keytut::ToneSettings tone;
    std::string codeTablePath;
    std::string outPath;
    std::string text;
    bool haveText = false;
    // The most sample data a plain WAV file can describe: its sizes are 32-bit, and the header
    // before the data takes some of them.
    std::uint64_t wavLimit = 0xFFFFFFFFull - 1024;

    std::vector<std::string> args(argv + 1, argv + argc);
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= args.size())
                return false;
            into = args[++i];
            return true;
        };
        std::string v;
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        } else if (arg == "--char-wpm" || arg == "--word-wpm") {
            int wpm = 0;
            if (!value(v) || !parseWpm(v, wpm)) {
                return fail("bad speed for " + arg + " (give a whole number from 5 to 60)");
            }
            (arg == "--char-wpm" ? charWpm : wordWpm) = wpm;
        } else if (arg == "--pitch") {
            if (!value(v) || !parsePitch(v, tone.pitch)) {
                return fail("bad pitch for --pitch (give 400 to 1000 Hz in steps of 50)");
            }
        } else if (arg == "--soft-edges") {
            tone.softEdges = true;
        } else if (arg == "--keyview") {
            keyview = true;
        } else if (arg == "--code-table") {
            if (!value(codeTablePath))
                return fail("--code-table needs a file name");
        } else if (arg == "--wav-limit") {
            if (!value(v))
                return fail("--wav-limit needs a number of bytes");
            auto [end, parseError] = std::from_chars(v.data(), v.data() + v.size(), wavLimit);
            if (parseError != std::errc() || end != v.data() + v.size()) {
                return fail("bad --wav-limit " + v);
            }
        } else if (arg == "-o" || arg == "--output") {
            if (!value(outPath))
                return fail(arg + " needs a file name");
        } else if (arg == "--") {
            if (i + 1 < args.size()) {
                text = args[i + 1];
                haveText = true;
            }
            break;
        } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
            std::cerr << kUsage;
            return fail("unknown option " + arg);
        } else if (!haveText) {
            text = arg;
            haveText = true;
        } else {
            return fail("give the text as one argument (quote it)");
        }
    }
    if (outPath.empty())
        return fail("no output file given (-o OUT.wav)");
    if (!haveText)
        return fail("no text given");
    if (wordWpm < 0)
        wordWpm = charWpm;
    if (wordWpm > charWpm) {
        return fail("the word speed cannot be faster than the character speed");
    }

    keytut::Tutor tutor(keyview ? keytut::kKeyviewProfile : keytut::kEarkeyProfile);
    tutor.setTone(tone);
    StderrMessages messages;
    std::string tableName = codeTablePath.empty() ? keytut::kCodeTableFile : codeTablePath;
    keytut::DataFile table = keytut::loadDataFile(tableName);
    if (!table.contents) {
        if (table.fault == keytut::FileFault::TooLarge) {
            return fail(keytut::dataFileMessage(tableName, table.fault));
        }
        return fail("cannot read the code table " + tableName);
    }
    keytut::loadCodeTableFrom(tutor.codes, std::move(*table.contents), messages, tableName);
    tutor.timing.charDotSamples = keytut::dotSamples(charWpm);
    tutor.timing.wordDotSamples = keytut::dotSamples(wordWpm);

    // A first pass writes nothing: it finds the characters without a code and the length of
    // the result, which decides between WAV and RF64 before the file is made.
    std::vector<CharacterSound> sounds;
    send(tutor, text, [&](std::span<const std::int16_t> samples) {
        bool tone =
            std::any_of(samples.begin(), samples.end(), [](std::int16_t v) { return v != 0; });
        sounds.push_back({samples.size(), tone});
        return true;
    });

    std::string skipped;
    std::size_t skippedCount = 0;
    std::uint64_t total = 0;
    bool anyTone = false;
    for (std::size_t i = 0; i < sounds.size() && i < text.size(); ++i) {
        total += sounds[i].samples;
        anyTone = anyTone || sounds[i].tone;
        if (sounds[i].samples == 0) {
            ++skippedCount;
            if (skipped.find(text[i]) == std::string::npos)
                skipped += text[i];
        }
    }
    if (!skipped.empty()) {
        std::cerr << "keytut-render: "
                  << keytut::skippedCharactersNote(skippedCount, text.size(), skipped, tableName)
                  << '\n';
    }
    if (!anyTone) {
        std::cerr << "keytut-render: nothing to send: "
                  << (text.find_first_not_of(" \r") == std::string::npos
                          ? std::string("the text is empty or only spaces")
                          : "no character of the text has a code in " + tableName)
                  << "; " << outPath << " was not written\n";
        return 1;
    }

    const std::uint64_t dataBytes = total * sizeof(std::int16_t);
    const bool rf64 = dataBytes > wavLimit;
    SF_INFO info{};
    info.samplerate = keytut::kSamplesPerSecond;
    info.channels = 1;
    info.format = (rf64 ? SF_FORMAT_RF64 : SF_FORMAT_WAV) | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(outPath.c_str(), SFM_WRITE, &info);
    if (!file)
        return fail("cannot write " + outPath + ": " + sf_strerror(nullptr));
    std::string error;
    send(tutor, text, [&](std::span<const std::int16_t> samples) {
        auto n = static_cast<sf_count_t>(samples.size());
        if (n == 0 || sf_write_short(file, samples.data(), n) == n)
            return true;
        error = sf_strerror(file);
        return false;
    });
    if (sf_close(file) != 0 && error.empty())
        error = "cannot finish the file";
    if (!error.empty()) {
        std::remove(outPath.c_str());
        return fail("cannot write " + outPath + ": " + error);
    }
    std::cout << "wrote " << outPath << (rf64 ? " (RF64)" : "") << ": "
              << text.size() - skippedCount << " characters, " << total << " samples ("
              << static_cast<double>(total) / keytut::kSamplesPerSecond << " s)\n";
    return 0;
}
