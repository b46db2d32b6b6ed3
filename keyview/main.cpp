// Keyview: the windowed Morse tutor, driven with buttons.
#include "exercises/edition_profiles.h"
#include "main_window.h"
#include "platform/ui/edition_screens.h"
#include "platform/ui/program.h"

int main(int argc, char** argv) {
    const keytut::ui::ProgramInfo info{
        "keyview", "Keyview", "Keyview: a Morse code tutor in a window, driven with buttons."};
    return keytut::ui::runProgram(
        keytut::kKeyviewProfile, info, argc, argv, [](keytut::ui::App& app) {
            return std::make_unique<keytut::ui::MenuWindow>(app, keyview::kMainWindow,
                                                            keytut::ui::editionOpeners(app));
        });
}
