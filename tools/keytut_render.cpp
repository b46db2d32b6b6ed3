// keytut-render: writes the Morse of a text to a WAV file, exactly as the tutor's sender plays it.
#include <sndfile.h>

#include <charconv>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "core/data_files.h"
#include "core/tutor.h"
#include "platform/audio/fake_wave_out.h"

namespace {

const char* const kUsage =
    "Usage: keytut-render [--char-wpm N] [--word-wpm N] [--keyview] [--code-table FILE]\n"
    "                     -o OUT.wav TEXT\n"
    "Writes TEXT in Morse to OUT.wav (8000 Hz, mono, 16 bit), character by character as the\n"
    "tutor sends it. The code table is KEYTUT.CDE in the current folder unless --code-table\n"
    "names another. Speeds are words per minute from 5 to 60 (default 12); the word speed is\n"
    "never faster than the character speed. --keyview uses Keyview's quieter tone.\n";

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

int fail(const std::string& message) {
    std::cerr << "keytut-render: " << message << '\n';
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    int charWpm = 12;
    int wordWpm = -1;
    bool keyview = false;
    std::string codeTablePath;
    std::string outPath;
    std::string text;
    bool haveText = false;

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
        } else if (arg == "--keyview") {
            keyview = true;
        } else if (arg == "--code-table") {
            if (!value(codeTablePath))
                return fail("--code-table needs a file name");
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

    keytut::Tutor tutor(keyview ? keytut::Edition::Keyview : keytut::Edition::Earkey);
    StderrMessages messages;
    std::string tableName = codeTablePath.empty() ? keytut::kCodeTableFile : codeTablePath;
    auto table = keytut::readDataFile(tableName);
    if (!table)
        return fail("cannot read the code table " + tableName);
    keytut::loadCodeTableFrom(tutor.codes, std::move(*table), messages);
    tutor.timing.charDotSamples = keytut::dotSamples(charWpm);
    tutor.timing.wordDotSamples = keytut::dotSamples(wordWpm);

    auto device = std::make_unique<audio::FakeWaveOut>();
    audio::FakeWaveOut* fake = device.get();
    tutor.sender.attach(std::move(device));
    tutor.sender.start(text);
    fake->runUntilIdle();

    SF_INFO info{};
    info.samplerate = keytut::kSamplesPerSecond;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(outPath.c_str(), SFM_WRITE, &info);
    if (!file)
        return fail("cannot write " + outPath + ": " + sf_strerror(nullptr));
    sf_count_t total = 0;
    for (const auto& buffer : fake->written()) {
        auto n = static_cast<sf_count_t>(buffer.samples.size());
        if (sf_write_short(file, buffer.samples.data(), n) != n) {
            std::string error = sf_strerror(file);
            sf_close(file);
            std::remove(outPath.c_str());
            return fail("cannot write " + outPath + ": " + error);
        }
        total += n;
    }
    if (sf_close(file) != 0)
        return fail("cannot finish " + outPath);
    std::cout << "wrote " << outPath << ": " << fake->written().size() << " characters, " << total
              << " samples (" << static_cast<double>(total) / keytut::kSamplesPerSecond << " s)\n";
    return 0;
}
