#include "exercise_registry.h"

#include "tone_screen.h"

namespace keytut::ui {

using namespace exercise;

ExerciseButton practiceButton(std::string name, int id, std::string earkeyCaption,
                              std::string keyviewCaption, std::string description,
                              int descriptionId, int column, int row) {
    ExerciseButton button;
    button.name = std::move(name);
    button.id = id;
    button.earkeyCaption = std::move(earkeyCaption);
    button.keyviewCaption = std::move(keyviewCaption);
    button.description = std::move(description);
    button.descriptionId = descriptionId;
    button.group = ButtonGroup::Practice;
    button.column = column;
    button.row = row;
    return button;
}

ExerciseButton settingsButton(std::string name, int id, std::string earkeyCaption,
                              std::string keyviewCaption, int x, int y, int width, int height,
                              std::function<void(App&)> open) {
    ExerciseButton button;
    button.name = std::move(name);
    button.id = id;
    button.earkeyCaption = std::move(earkeyCaption);
    button.keyviewCaption = std::move(keyviewCaption);
    button.group = ButtonGroup::Settings;
    button.x = x;
    button.y = y;
    button.width = width;
    button.height = height;
    button.open = std::move(open);
    return button;
}

const std::vector<ExerciseButton>& exerciseRegistry() {
    static const std::vector<ExerciseButton> registry = {
        // name, id, Earkey's caption, Keyview's, its description and its id, column, row
        practiceButton(kThirtyWords, 300, "30 word test", "&Words", "Send 30 words", 201, 0, 0),
        practiceButton(kQsos, 301, "Random Q S Ohs", "&QSOs", "Send QSOs", 202, 0, 1),
        practiceButton(kMessage, 302, "Type a Message", "&Message", "Type a message", 203, 1, 0),
        practiceButton(kFile, 303, "Send a File", "&File", "Send a file", 204, 1, 1),
        practiceButton(kStraightKey, 306, "Straight Key Send", "&Send", "Straight Key", 209, 2, 0),
        practiceButton(kPaddleKey, 307, "Paddle Key Send", "S&end", "Paddle Key", 210, 2, 1),
        // The learner's progress: the Koch trainer and what is kept of every answer.
        practiceButton(kKochTrainer, 312, "Koch Trainer", "K&och", "Koch trainer", 231, 0, 2),
        practiceButton(kProgress, 313, "Progress", "P&rogress", "Your progress", 232, 1, 2),
        // The pitch and edges of the tone, on a screen of their own.
        settingsButton(kTone, 310, "&Tone", "&Tone", 290, 124, 40, 14,
                       [](App& app) { toneScreen(app); }),
        // What the port number in the port box stands for: a serial port, an adapter, the
        // keyboard or a key script (each edition's opener: the screen lives with the keys).
        settingsButton(kKey, 315, "Ke&y", "Ke&y", 333, 124, 25, 14),
    };
    return registry;
}

}  // namespace keytut::ui
