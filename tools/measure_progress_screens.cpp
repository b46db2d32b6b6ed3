// keytut-measure-progress-screens FILE RUNS: how long each edition's progress screen takes to
// open on the progress file FILE, from opening the file to the first paint of the screen (Qt's
// offscreen platform: no window system, the same widgets and charts). Times in milliseconds.
#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "earkey/progress_screen.h"
#include "exercises/edition_profiles.h"
#include "keyview/progress_screen.h"
#include "platform/ui/app.h"

namespace {

using namespace keytut;

template <class ProgressScreen>
std::vector<double> openTimes(const EditionProfile& profile, const char* file, int runs) {
    std::vector<double> times;
    for (int r = 0; r < runs; ++r) {
        Tutor tutor(profile);
        audio::AudioOptions options;
        options.backend = audio::Backend::Null;
        auto sound = audio::createAudioSystem(options);
        CollectingMessageSink messages;
        ui::KeyStateTracker keys;
        ui::ProgramOptions programOptions;
        programOptions.progressFile = file;
        const auto start = std::chrono::steady_clock::now();
        ui::App app(tutor, *sound, messages, keys, programOptions);
        ProgressScreen screen(app);
        screen.show();
        screen.repaint();
        QCoreApplication::processEvents();
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
        if (app.progress() && app.progress()->fault()) {
            std::fprintf(stderr, "%s\n", app.progress()->fault()->text().c_str());
            std::exit(1);
        }
    }
    std::sort(times.begin(), times.end());
    return times;
}

void print(const char* edition, const std::vector<double>& ms) {
    std::printf("%s progress screen, open to first paint: %zu runs, p50 %.1f ms, max %.1f ms\n",
                edition, ms.size(), ms[ms.size() / 2], ms.back());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s FILE RUNS\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int runs = std::max(1, std::atoi(argv[2]));
    print("Earkey", openTimes<earkey::ProgressScreen>(kEarkeyProfile, argv[1], runs));
    print("Keyview", openTimes<keyview::ProgressScreen>(kKeyviewProfile, argv[1], runs));
    return 0;
}
