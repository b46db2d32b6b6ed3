// keytut-keying: writes a key script (the simulated key's file) for a text keyed by hand, and
// with --decode plays a key script back through the straight-key decoder tick by tick.
#include <charconv>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "core/code_table.h"
#include "exercises/edition_profiles.h"
#include "keying/hand_keying.h"
#include "keying/rounding.h"
#include "keying/straight_key.h"
#include "keying/timing_statistics.h"

namespace {

const char* const kUsage =
    "Usage: keytut-keying --wpm W [--jitter SIGMA] [--seed N] [--shape D,L,G,C,W] [--paddle]\n"
    "                     [--code-table FILE] [-o OUT] TEXT\n"
    "       keytut-keying --decode SCRIPT [--report] [--code-table FILE]\n"
    "Writes the key script of TEXT keyed by hand at W words per minute (a dot is 1200 / W ms):\n"
    "one line 'MILLISECONDS STATE' per change of the key lines, for --port N=sim:FILE. Each mark\n"
    "and space is off by a normally distributed fraction SIGMA of its length (for example 0.1),\n"
    "clipped to +-30 %. --shape gives the hand's lengths of dots, dashes, gaps inside and\n"
    "between characters and between words in units (1,3,1,3,7 unless given; 1.2,3,1,2.4,7 is a\n"
    "hand with long dots and short character gaps).\n"
    "--paddle writes dot (CTS) and dash (DSR) paddle states for the tutor's\n"
    "keyer at W instead of a straight key. The script goes to OUT, or to the standard output.\n"
    "--decode feeds SCRIPT to the straight-key decoder, one 5 ms tick at a time, and prints the\n"
    "text decoded, with --report followed by the timing report, the span its word speed timed,\n"
    "and the lengths of the marks and gaps in units of the learner's own dot, with Earkey's\n"
    "sentences. The code table is KEYTUT.CDE in the current folder unless --code-table names\n"
    "another. Characters without a code are skipped and named; when none has a code nothing is\n"
    "written and the exit status is 1.\n";

class StderrMessages : public keytut::MessageSink {
  public:
    void showMessage(const std::string& text) override {
        std::cerr << "keytut-keying: " << text << '\n';
    }
};

int fail(const std::string& message) {
    std::cerr << "keytut-keying: " << message << '\n';
    return 2;
}

template <class T>
bool parse(const std::string& text, T& value) {
    const char* end = text.data() + text.size();
    auto [ptr, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && ptr == end;
}

// The decoded text, and with `report` the timing report (Keyview's wording) after it, the
// seconds counted on the ticks.
std::string decode(const keytut::SimKeyScript& script, const keytut::CodeTable& codes,
                   bool report) {
    std::int64_t ticks = 0;
    keytut::StraightKeyDecoder decoder(codes, keytut::kKeyviewProfile,
                                       [&ticks] { return ticks * 5; });
    decoder.beginVisit();
    // The word speed's span, in ticks: from the end of the first mark to the last character.
    std::optional<std::int64_t> firstRelease;
    std::int64_t lastCharacter = 0;
    // Long enough after the last change for a pending character to be flushed.
    const std::int64_t end = script.endMs() / 5 + 2 * 2 * decoder.wordThreshold() + 400;
    for (; ticks < end; ++ticks) {
        const bool wasDown = decoder.keyDown();
        if (decoder.keyLines(script.linesAt(ticks * 5)))
            lastCharacter = ticks;
        if (wasDown && !decoder.keyDown() && !firstRelease)
            firstRelease = ticks;
        decoder.tick();
        if (decoder.flushIfDue())
            lastCharacter = ticks;
        if (ticks > script.endMs() / 5 && !decoder.keyDown() && decoder.elementCode() == 0)
            break;
    }
    if (!report)
        return decoder.decodedText();
    std::ostringstream out;
    out << decoder.decodedText() << "\n" << decoder.timingReport() << "\n";
    // The report counts whole seconds of the clock, so the same keying can read one second
    // more or less elsewhere; the span itself says by how much that moves the word speed.
    const double span =
        firstRelease ? static_cast<double>(lastCharacter - *firstRelease) * 0.005 : 0;
    out << "Timed: " << keytut::roundHalfEven(decoder.unitCount() / 50.0) << " words in " << span
        << " seconds\n";
    const auto stats = keytut::timingStatistics(decoder.timedElements());
    out << "The learner's dot: " << stats.unitTicks * 5.0 << " ms\n";
    for (const auto& kind : stats.kinds) {
        out << keytut::timedKindName(kind.kind) << ": " << kind.units.size() << ", mean "
            << kind.mean << " units (ideal " << kind.ideal << ")\n";
    }
    for (const auto& sentence : keytut::timingSentences(stats))
        out << sentence << "\n";
    std::string text = out.str();
    text.pop_back();
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    keytut::HandKeying how;
    bool wpmGiven = false;
    bool paddle = false;
    bool report = false;
    std::string codeTablePath = keytut::kCodeTableFile;
    std::string outPath, decodePath, text;
    bool haveText = false;

    std::vector<std::string> args(argv + 1, argv + argc);
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string v;
        auto value = [&](std::string& into) {
            if (i + 1 >= args.size())
                return false;
            into = args[++i];
            return true;
        };
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        } else if (arg == "--wpm") {
            if (!value(v) || !parse(v, how.wpm) || how.wpm < 1 || how.wpm > 100)
                return fail("--wpm wants a whole number of words per minute from 1 to 100");
            wpmGiven = true;
        } else if (arg == "--jitter") {
            if (!value(v) || !parse(v, how.jitter) || how.jitter < 0.0 || how.jitter > 1.0)
                return fail("--jitter wants a fraction from 0 to 1 (0.1 is 10 %)");
        } else if (arg == "--seed") {
            if (!value(v) || !parse(v, how.seed))
                return fail("--seed wants a whole number");
        } else if (arg == "--shape") {
            auto shape = value(v) ? keytut::parseKeyingShape(v) : std::nullopt;
            if (!shape)
                return fail("--shape wants five lengths in units, as 1.2,3,1,2.4,7");
            how.shape = *shape;
        } else if (arg == "--report") {
            report = true;
        } else if (arg == "--paddle") {
            paddle = true;
        } else if (arg == "--code-table") {
            if (!value(codeTablePath))
                return fail("--code-table needs a file name");
        } else if (arg == "-o") {
            if (!value(outPath))
                return fail("-o needs a file name");
        } else if (arg == "--decode") {
            if (!value(decodePath))
                return fail("--decode needs a key script");
        } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
            return fail("unknown option " + arg + " (see --help)");
        } else if (!haveText) {
            text = arg;
            haveText = true;
        } else {
            return fail("give the text as one argument, in quotes");
        }
    }

    std::ifstream table(codeTablePath, std::ios::binary);
    if (!table)
        return fail("can't read the code table " + codeTablePath);
    std::ostringstream contents;
    contents << table.rdbuf();
    keytut::CodeTable codes;
    StderrMessages messages;
    keytut::loadCodeTableFrom(codes, contents.str(), messages);

    if (!decodePath.empty()) {
        std::ifstream in(decodePath, std::ios::binary);
        if (!in)
            return fail("can't read the key script " + decodePath);
        std::ostringstream script;
        script << in.rdbuf();
        std::string error;
        auto parsed = keytut::parseSimKeyScript(script.str(), error);
        if (!parsed)
            return fail(decodePath + ", " + error);
        std::cout << decode(*parsed, codes, report) << '\n';
        return 0;
    }

    if (!wpmGiven || !haveText)
        return fail("give --wpm W and a TEXT (see --help)");
    // What cannot be keyed is named, as keytut-render names what it cannot send.
    std::string skipped;
    std::size_t skippedCount = 0;
    for (char c : text) {
        if (c == ' ' || keytut::keyable(c, codes))
            continue;
        ++skippedCount;
        if (skipped.find(c) == std::string::npos)
            skipped += c;
    }
    if (skippedCount > 0) {
        std::cerr << "keytut-keying: "
                  << keytut::skippedCharactersNote(skippedCount, text.size(), skipped,
                                                   codeTablePath)
                  << '\n';
    }
    auto script =
        paddle ? keytut::keyPaddles(text, codes, how) : keytut::keyStraight(text, codes, how);
    if (script.changes.empty()) {
        std::cerr << "keytut-keying: nothing to key: "
                  << (text.find_first_not_of(' ') == std::string::npos
                          ? std::string("the text is empty or only spaces")
                          : "no character of the text has a code in " + codeTablePath)
                  << "; " << (outPath.empty() || outPath == "-" ? "nothing" : outPath)
                  << " was not written\n";
        return 1;
    }
    std::string out = "# " + std::string(paddle ? "paddles" : "straight key") + " at " +
                      std::to_string(how.wpm) + " wpm: " + text + "\n" +
                      keytut::formatSimKeyScript(script);
    if (outPath.empty() || outPath == "-") {
        std::cout << out;
    } else {
        std::ofstream file(outPath, std::ios::binary);
        file << out;
        if (!file.flush())
            return fail("can't write " + outPath);
    }
    return 0;
}
