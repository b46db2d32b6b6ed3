// Earkey: the Morse tutor for blind and partially sighted learners, driven from the keyboard.
#include "exercises/edition_profiles.h"
#include "main_menu.h"
#include "platform/ui/edition_screens.h"
#include "platform/ui/program.h"

int main(int argc, char** argv) {
    const keytut::ui::ProgramInfo info{
        "earkey", "Earkey",
        "Earkey: Morse code practice for white stick users, driven from the keyboard."};
    return keytut::ui::runProgram(keytut::kEarkeyProfile, info, argc, argv,
                                  [](keytut::ui::App& app) {
                                      return std::make_unique<keytut::ui::MenuWindow>(
                                          app, earkey::kMainMenu, keytut::ui::editionOpeners(app));
                                  });
}
