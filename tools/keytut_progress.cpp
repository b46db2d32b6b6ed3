// keytut-progress: prints the learner's history kept by Earkey and Keyview, so that a learner or
// a teacher can read it or take it elsewhere.
//   keytut-progress [--progress FILE] summary|csv|sessions
#include <ctime>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "exercises/koch_trainer.h"
#include "progress/report.h"
#include "progress/store.h"

namespace {

using namespace keytut;

const char* const kUsage =
    "Usage: keytut-progress [--progress FILE] summary|csv|sessions\n"
    "Prints the progress Earkey and Keyview keep.\n"
    "\n"
    "  summary   the level, the last session and the weakest characters, then one line per\n"
    "            character: its accuracy over its last 50 answers, its answers, its response time\n"
    "  csv       every answer kept, as CSV with a header line\n"
    "  sessions  every session, as CSV with a header line\n"
    "\n"
    "  --progress FILE  the progress file (default: $XDG_DATA_HOME/keytut/progress.sqlite3,\n"
    "                   normally ~/.local/share/keytut/progress.sqlite3)\n"
    "  --help           show this help and end\n";

// A time kept in milliseconds since 1970 as ISO 8601 in UTC: 2024-05-01T18:04:09.125Z.
std::string isoTime(std::int64_t ms) {
    const std::time_t seconds = static_cast<std::time_t>(ms / 1000);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[40];
    const std::size_t n = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &utc);
    std::snprintf(text + n, sizeof text - n, ".%03dZ", static_cast<int>(ms % 1000));
    return text;
}

// A CSV field: quoted when it holds a comma, a quote or a line end, its quotes doubled.
std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string characterField(char c) {
    return c ? csvField(progress::characterText(c)) : std::string();
}

std::string readingFault(const progress::Fault& fault) {
    const std::string name = fault.file.string();
    switch (fault.kind) {
        case progress::FaultKind::Damaged:
            return name + " is damaged; it is left as it is (" + fault.detail + ")";
        case progress::FaultKind::Foreign:
            return name + " is not a progress file";
        case progress::FaultKind::Newer:
            return name + " is from a newer version of the program";
        default:
            return "cannot read " + name + ": " + fault.detail;
    }
}

int printSummary(progress::Store& store) {
    const auto report = progress::progressReport(store, std::string(kLcwoCourseOrder),
                                                 kKochFirstLevel, std::string(kKochExercise));
    for (const auto& line : report.lines())
        std::cout << line << '\n';
    return 0;
}

int printAnswers(progress::Store& store) {
    std::cout
        << "time,edition,exercise,session,sent,answered,right,response_ms,char_wpm,word_wpm\n";
    store.forEachAnswer([](const progress::AnswerRow& row) {
        const auto& a = row.answer;
        std::cout << isoTime(a.timeMs) << ',' << csvField(row.edition) << ','
                  << csvField(row.exercise) << ',' << row.session << ',' << characterField(a.sent)
                  << ',' << characterField(a.answered) << ',' << (a.right ? 1 : 0) << ','
                  << (a.responseMs ? std::to_string(*a.responseMs) : std::string()) << ','
                  << a.charWpm << ',' << a.wordWpm << '\n';
    });
    return 0;
}

int printSessions(progress::Store& store) {
    std::cout << "session,edition,exercise,start,end,answers,right,percent,course,level\n";
    store.forEachSession([](const progress::SessionRow& s) {
        std::cout << s.id << ',' << csvField(s.edition) << ',' << csvField(s.exercise) << ','
                  << isoTime(s.startedMs) << ',' << (s.endedMs ? isoTime(*s.endedMs) : "") << ','
                  << s.answers << ',' << s.right << ','
                  << (s.answers ? std::to_string(progress::wholePercent(s.right, s.answers)) : "")
                  << ',' << csvField(s.course) << ',' << (s.level ? std::to_string(s.level) : "")
                  << '\n';
    });
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::filesystem::path file = keytut::progress::defaultProgressFile();
    std::string command;
    auto fail = [](const std::string& message) {
        std::cerr << "keytut-progress: " << message << "\n" << kUsage;
        return 2;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        } else if (arg == "--progress" || arg.rfind("--progress=", 0) == 0) {
            std::string value;
            if (arg == "--progress") {
                if (i + 1 >= args.size())
                    return fail("--progress needs a file name");
                value = args[++i];
            } else {
                value = arg.substr(11);
            }
            if (value.empty())
                return fail("--progress needs a file name");
            file = value;
        } else if (!arg.empty() && arg[0] == '-') {
            return fail("unknown option '" + arg + "'");
        } else if (command.empty()) {
            command = arg;
        } else {
            return fail("one of summary, csv or sessions, not both '" + command + "' and '" + arg +
                        "'");
        }
    }
    if (command != "summary" && command != "csv" && command != "sessions")
        return fail(command.empty() ? "summary, csv or sessions?"
                                    : "unknown command '" + command + "'");

    std::error_code error;
    if (!std::filesystem::exists(file, error)) {
        std::cerr << "keytut-progress: no progress kept yet: " << file.string()
                  << " does not exist\n";
        return 1;
    }
    using keytut::progress::Store;
    // Opened as the programs open it, so that an older file is brought forward; a file that may
    // not be written (a copy from a learner, say) is only read.
    auto store = std::make_unique<Store>(file, Store::Mode::Existing);
    if (store->fault() && store->fault()->kind == keytut::progress::FaultKind::Unwritable)
        store = std::make_unique<Store>(file, Store::Mode::Read);
    int status = 0;
    if (store->keeping()) {
        if (command == "summary")
            status = printSummary(*store);
        else if (command == "csv")
            status = printAnswers(*store);
        else
            status = printSessions(*store);
    }
    std::cout.flush();
    // A fault on opening or while reading (damage found in the middle) ends it with its words.
    if (store->fault()) {
        std::cerr << "keytut-progress: " << readingFault(*store->fault()) << "\n";
        return 1;
    }
    return std::cout ? status : 1;
}
