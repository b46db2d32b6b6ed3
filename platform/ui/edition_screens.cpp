#include "edition_screens.h"

#include <map>
#include <vector>

namespace keytut::ui {

namespace {

// Made on first use: registrations run before main, in no order between files.
std::map<std::string, std::vector<AddOpeners>, std::less<>>& registrations() {
    static std::map<std::string, std::vector<AddOpeners>, std::less<>> all;
    return all;
}

}  // namespace

EditionScreens::EditionScreens(std::string_view edition, AddOpeners add) {
    registrations()[std::string(edition)].push_back(std::move(add));
}

ExerciseOpeners editionOpeners(App& app) {
    ExerciseOpeners openers;
    const auto found = registrations().find(app.tutor.profile.name);
    if (found != registrations().end()) {
        for (const AddOpeners& add : found->second)
            add(openers, app);
    }
    return openers;
}

}  // namespace keytut::ui
