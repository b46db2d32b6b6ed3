#include "learner_progress.h"

namespace keytut::ui {

std::string kochCourse(App& app) {
    if (progress::Store* store = app.progress()) {
        if (auto current = store->currentCourse(); current && !current->course.empty())
            return current->course;
    }
    return std::string(kLcwoCourseOrder);
}

progress::ProgressReport learnerReport(App& app) {
    if (progress::Store* store = app.progress(); store && store->keeping()) {
        return progress::progressReport(*store, std::string(kLcwoCourseOrder), kKochFirstLevel,
                                        std::string(kKochExercise));
    }
    progress::ProgressReport report;
    report.course = std::string(kLcwoCourseOrder);
    report.level = kKochFirstLevel;
    for (char c : report.course.substr(0, kKochFirstLevel)) {
        progress::CharacterStats none;
        none.character = c;
        report.characters.push_back(none);
    }
    return report;
}

std::vector<SessionPoint> kochSessions(App& app) {
    std::vector<SessionPoint> points;
    progress::Store* store = app.progress();
    if (!store || !store->keeping())
        return points;
    store->forEachSession([&points](const progress::SessionRow& row) {
        if (row.exercise != kKochExercise || row.answers == 0)
            return;
        points.push_back(
            {row.endedMs.value_or(row.startedMs), progress::wholePercent(row.right, row.answers)});
    });
    return points;
}

std::vector<std::string> courseChoices() {
    return {"LCWO order", "Lesson order", "Own order"};
}

int courseChoiceOf(const App& app, const std::string& course) {
    if (course == kLcwoCourseOrder)
        return 0;
    if (course == lessonCourseOrder(app.tutor.data.lessonGroups, app.tutor.codes))
        return 1;
    return kOwnCourseChoice;
}

TypedCourseOrder courseOfChoice(const App& app, int choice, const std::string& typed) {
    if (choice == 0)
        return {std::string(kLcwoCourseOrder), {}};
    if (choice == 1) {
        TypedCourseOrder lessons{lessonCourseOrder(app.tutor.data.lessonGroups, app.tutor.codes),
                                 {}};
        if (lessons.characters.size() < static_cast<std::size_t>(kKochFirstLevel))
            lessons.error = "The lessons hold too few characters for a course";
        return lessons;
    }
    return parseCourseOrder(typed, app.tutor.codes);
}

std::unique_ptr<KochTrainer> kochTrainer(App& app, const std::string& course) {
    return std::make_unique<KochTrainer>(app.tutor, app.progress(), course, app.clock);
}

std::optional<std::string> useCourse(App& app, std::unique_ptr<KochTrainer>& trainer, int choice,
                                     const std::string& typed) {
    const TypedCourseOrder chosen = courseOfChoice(app, choice, typed);
    if (!chosen.error.empty())
        return chosen.error;
    if (chosen.characters != trainer->course()) {
        trainer->close();
        trainer = kochTrainer(app, chosen.characters);
    }
    return std::nullopt;
}

progress::CharacterName characterNames(const App& app) {
    if (!app.tutor.profile.style.speaksTexts)
        return {};
    return [](char c) { return spokenName(c); };
}

}  // namespace keytut::ui
