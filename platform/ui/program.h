// What both programs do from start to end: the command line, start-up, the main window, the end.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app.h"
#include "screen.h"

namespace keytut::ui {

struct ProgramInfo {
    std::string command;  // "earkey"
    std::string title;    // "Earkey": the caption of its message boxes
    std::string summary;  // one line for --help
};

struct CommandLine {
    enum class Outcome { Run, Help, Error };
    Outcome outcome = Outcome::Run;
    ProgramOptions options;
    std::string error;                // for Outcome::Error
    std::vector<std::string> qtArgs;  // single-dash options, left to Qt (-platform, -display ...)
};

// `args` without the program name.
CommandLine parseCommandLine(const std::vector<std::string>& args);
std::string usageText(const ProgramInfo& info);

using MainWindowFactory = std::function<std::unique_ptr<Screen>(App&)>;

// Parses the command line, loads the data files from the data folder, opens the sound device,
// runs the main window until it is closed, and returns the exit status: 0 after the main window
// closed, 1 when the code table could not be read, 2 for a bad command line.
int runProgram(const EditionProfile& profile, const ProgramInfo& info, int argc, char** argv,
               const MainWindowFactory& makeMainWindow);

}  // namespace keytut::ui
