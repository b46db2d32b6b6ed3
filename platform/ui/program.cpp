#include "program.h"

#include <QApplication>
#include <algorithm>
#include <charconv>
#include <iostream>

#include "dialog_units.h"
#include "icon.h"
#include "kept_settings.h"
#include "key_state.h"
#include "keying/key_source.h"
#include "platform/audio/quiet_libraries.h"
#include "qt_bridge.h"
#include "quit_on_signal.h"

namespace keytut::ui {

namespace {

bool parseNumber(const std::string& text, std::uint64_t& value) {
    if (text.empty())
        return false;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

bool allDigits(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args) {
    CommandLine result;
    auto fail = [&result](std::string message) {
        result.outcome = CommandLine::Outcome::Error;
        result.error = std::move(message);
        return result;
    };
    bool record = false;
    bool noSound = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        if (arg.size() < 2 || arg[0] != '-')
            return fail("unexpected argument '" + arg + "'");
        if (arg[1] != '-') {
            // Qt's own options, with the value of those that take one.
            result.qtArgs.push_back(arg);
            static const char* const withValue[] = {"-platform",     "-display",
                                                    "-style",        "-qwindowgeometry",
                                                    "-qwindowtitle", "-platformpluginpath",
                                                    "-platformtheme"};
            for (const char* option : withValue) {
                if (arg == option && i + 1 < args.size())
                    result.qtArgs.push_back(args[++i]);
            }
            continue;
        }
        std::string value;
        bool hasValue = false;
        if (auto eq = arg.find('='); eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg.resize(eq);
            hasValue = true;
        }
        auto takeValue = [&]() -> bool {
            if (hasValue)
                return true;
            if (i + 1 >= args.size())
                return false;
            value = args[++i];
            return true;
        };
        if (arg == "--help" && !hasValue) {
            result.outcome = CommandLine::Outcome::Help;
            return result;
        } else if (arg == "--reset-settings" && !hasValue) {
            result.options.resetSettings = true;
        } else if (arg == "--no-sound" && !hasValue) {
            noSound = true;
            result.options.backend = audio::Backend::Null;
        } else if (arg == "--record") {
            if (!takeValue() || value.empty())
                return fail("--record needs a file name");
            record = true;
            result.options.backend = audio::Backend::WavFile;
            result.options.recordPath = value;
        } else if (arg == "--port") {
            if (!takeValue())
                return fail("--port needs N=DEVICE");
            auto eq = value.find('=');
            if (eq == std::string::npos || eq == 0 || eq + 1 == value.size() ||
                !allDigits(value.substr(0, eq)) || eq > kMaxPortDigits) {
                return fail("--port wants N=DEVICE with a port number N of 1 to " +
                            std::to_string(kMaxPortDigits) + " digits, not '" + value + "'");
            }
            result.options.portDevices[value.substr(0, eq)] = value.substr(eq + 1);
        } else if (arg == "--keyer") {
            auto mode = takeValue() ? keyerModeFromName(value) : std::nullopt;
            if (!mode)
                return fail("--keyer wants plain, iambic-a, iambic-b or ultimatic");
            result.options.keyer = mode;
        } else if (arg == "--input-keys") {
            auto keys = takeValue() ? parseInputKeys(value) : std::nullopt;
            if (!keys) {
                return fail(
                    "--input-keys wants two different keys as DOT,DASH, for example "
                    "LEFTCTRL,RIGHTCTRL or [,]");
            }
            result.options.inputKeys = keys;
        } else if (arg == "--seed") {
            std::uint64_t seed = 0;
            if (!takeValue() || !parseNumber(value, seed)) {
                return fail("--seed wants a whole number from 0 to 18446744073709551615");
            }
            result.options.seed = seed;
        } else if (arg == "--progress") {
            if (!takeValue() || value.empty())
                return fail("--progress needs a file name");
            result.options.progressFile = value;
        } else if (arg == "--data") {
            if (!takeValue() || value.empty())
                return fail("--data needs a folder");
            result.options.dataFolder = value;
        } else {
            return fail("unknown option '" + args[i] + "'");
        }
    }
    if (record && noSound)
        return fail("--record and --no-sound cannot be used together");
    return result;
}

std::string usageText(const ProgramInfo& info) {
    return "Usage: " + info.command + " [OPTION]...\n" + info.summary +
           "\n\n"
           "The data files (KEYTUT.CDE, KEYTUT.WRD, KEYTUT.GRP, MORSE*.TXT) are read from the\n"
           "working directory, or from the folder given with --data.\n"
           "The speeds, the port, the tone and the keyer are kept between runs in " +
           settingsFile(info.command).string() +
           ".\n\n"
           "Options:\n"
           "  --data DIR         run in DIR, the folder holding the data files\n"
           "  --no-sound         play nothing (Morse keeps its timing, silently)\n"
           "  --record FILE.wav  write everything played to FILE.wav instead of the sound card\n"
           "  --port N=DEVICE    the key that port number N stands for: a serial device\n"
           "                     (--port 1=/dev/ttyUSB0), keyboard, midi:DEVICE (a MIDI key\n"
           "                     adapter, --port 1=midi:/dev/snd/midiC1D0), input:DEVICE (a\n"
           "                     keyboard-type adapter) or sim:FILE (a key script); may be "
           "repeated\n"
           "  --keyer MODE       the paddle keyer: plain (the default), iambic-a, iambic-b or\n"
           "                     ultimatic; kept for the next runs\n"
           "  --input-keys D,L   the keys of a keyboard-type adapter that are the dot and the\n"
           "                     dash paddle (LEFTCTRL,RIGHTCTRL unless chosen; [,] is common);\n"
           "                     kept for the next runs\n"
           "  --progress FILE    keep the learner's answers in FILE (default " +
           progress::defaultProgressFile().string() +
           ")\n"
           "  --seed N           start the random draws from N, to repeat a run\n"
           "  --reset-settings   start from the default settings: speeds 12, 12, port 1,\n"
           "                     800 Hz with hard edges, the plain keyer, Left and Right Ctrl\n"
           "  --help             show this help and end\n";
}

int runProgram(const EditionProfile& profile, const ProgramInfo& info, int argc, char** argv,
               const MainWindowFactory& makeMainWindow) {
    std::vector<std::string> args(argv + 1, argv + argc);
    CommandLine line = parseCommandLine(args);
    if (line.outcome == CommandLine::Outcome::Help) {
        std::cout << usageText(info);
        return 0;
    }
    if (line.outcome == CommandLine::Outcome::Error) {
        std::cerr << info.command << ": " << line.error << "\nTry '" << info.command
                  << " --help' for more information.\n";
        return 2;
    }
    if (line.options.progressFile.empty())
        line.options.progressFile = progress::defaultProgressFile();
    if (!line.options.dataFolder.empty()) {
        // A recording or a progress file named relative to where the program was started stays
        // there.
        if (!line.options.recordPath.empty())
            line.options.recordPath = std::filesystem::absolute(line.options.recordPath).string();
        line.options.progressFile = std::filesystem::absolute(line.options.progressFile);
        std::error_code error;
        std::filesystem::current_path(line.options.dataFolder, error);
        if (error) {
            std::cerr << info.command << ": cannot use the data folder '"
                      << line.options.dataFolder.string() << "': " << error.message() << "\n";
            return 2;
        }
    }

    std::vector<std::string> qtArgStore{argc > 0 ? argv[0] : info.command};
    qtArgStore.insert(qtArgStore.end(), line.qtArgs.begin(), line.qtArgs.end());
    std::vector<char*> qtArgv;
    for (std::string& arg : qtArgStore)
        qtArgv.push_back(arg.data());
    int qtArgc = static_cast<int>(qtArgv.size());
    qtArgv.push_back(nullptr);
    QApplication application(qtArgc, qtArgv.data());
    QApplication::setApplicationName(QString::fromStdString(info.command));
    QGuiApplication::setDesktopFileName(QString::fromStdString(info.command));
    QApplication::setWindowIcon(appIcon());
    installFontSubstitutions();
    QuitOnSignal quitOnSignal;

    SettingsKeeper keeper(settingsFile(info.command));
    const KeptSettings kept = line.options.resetSettings ? KeptSettings{} : keeper.loaded();

    Tutor tutor(profile);
    if (line.options.seed) {
        tutor.random.seed(*line.options.seed);
    } else {
        tutor.random.seedFromClock();
    }
    QtMessageSink messages(info.title);
    if (!tutor.loadData(".", messages))
        return 1;

    audio::quietSoundLibraries();
    audio::AudioOptions audioOptions;
    audioOptions.backend = line.options.backend;
    audioOptions.wavPath = line.options.recordPath;
    audioOptions.dispatcher = uiDispatcher();
    // What goes wrong later (the sound server goes away, the disk fills up under a recording)
    // is told the same way, once each time.
    audioOptions.problemHandler = [&messages](const std::string& sentence) {
        messages.showMessage(sentence);
    };
    audioOptions.sidetoneAmplitude = profile.toneAmplitude;
    std::unique_ptr<audio::AudioSystem> sound = audio::createAudioSystem(audioOptions);
    tutor.sender.attach(sound->open(audio::DoneTiming::WhenTaken));
    // Told once; everything then runs at its proper pace, silently.
    if (!sound->problem().empty())
        messages.showMessage(sound->problem());

    KeyStateTracker keys;
    application.installEventFilter(&keys);
    {
        App app(tutor, *sound, messages, keys, line.options);
        KeptSettings chosen = kept;
        chosen.keyer = line.options.keyer.value_or(kept.keyer);
        chosen.inputKeys = line.options.inputKeys.value_or(kept.inputKeys);
        app.settings().take(chosen);
        app.setSettingsKeeper(&keeper);
        std::unique_ptr<Screen> window = makeMainWindow(app);
        app.setMainWindow(window.get());
        if (!quitOnSignal.requested())
            window->run();
        app.releaseSound();
        if (!keeper.keep(app.settings().kept())) {
            std::cerr << info.command << ": the settings could not be kept: " << keeper.error()
                      << "\n";
        }
    }
    tutor.sender.attach(nullptr);
    return 0;
}

}  // namespace keytut::ui
