#include "exercise_registry.h"

#include "tone_screen.h"

namespace keytut::ui {

using namespace exercise;

const std::vector<ExerciseButton>& exerciseRegistry() {
    // clang-format off
    static const std::vector<ExerciseButton> registry = {
        {.name = kThirtyWords, .id = 300,
         .earkeyCaption = "30 word test", .keyviewCaption = "&Words",
         .description = "Send 30 words", .descriptionId = 201, .column = 0, .row = 0},
        {.name = kQsos, .id = 301,
         .earkeyCaption = "Random Q S Ohs", .keyviewCaption = "&QSOs",
         .description = "Send QSOs", .descriptionId = 202, .column = 0, .row = 1},
        {.name = kMessage, .id = 302,
         .earkeyCaption = "Type a Message", .keyviewCaption = "&Message",
         .description = "Type a message", .descriptionId = 203, .column = 1, .row = 0},
        {.name = kFile, .id = 303,
         .earkeyCaption = "Send a File", .keyviewCaption = "&File",
         .description = "Send a file", .descriptionId = 204, .column = 1, .row = 1},
        {.name = kStraightKey, .id = 306,
         .earkeyCaption = "Straight Key Send", .keyviewCaption = "&Send",
         .description = "Straight Key", .descriptionId = 209, .column = 2, .row = 0},
        {.name = kPaddleKey, .id = 307,
         .earkeyCaption = "Paddle Key Send", .keyviewCaption = "S&end",
         .description = "Paddle Key", .descriptionId = 210, .column = 2, .row = 1},
        // The learner's progress: the Koch trainer and what is kept of every answer.
        {.name = kKochTrainer, .id = 312,
         .earkeyCaption = "Koch Trainer", .keyviewCaption = "K&och",
         .description = "Koch trainer", .descriptionId = 231, .column = 0, .row = 2},
        {.name = kProgress, .id = 313,
         .earkeyCaption = "Progress", .keyviewCaption = "P&rogress",
         .description = "Your progress", .descriptionId = 232, .column = 1, .row = 2},
        // The pitch and edges of the tone, on a screen of their own.
        {.name = kTone, .id = 310, .earkeyCaption = "&Tone", .keyviewCaption = "&Tone",
         .group = ButtonGroup::Settings, .x = 290, .y = 124, .width = 40, .height = 14,
         .open = [](App& app) { toneScreen(app); }},
        // What the port number in the port box stands for: a serial port, an adapter, the
        // keyboard or a key script (each edition's opener: the screen lives with the keys).
        {.name = kKey, .id = 315, .earkeyCaption = "Ke&y", .keyviewCaption = "Ke&y",
         .group = ButtonGroup::Settings, .x = 333, .y = 124, .width = 25, .height = 14},
    };
    // clang-format on
    return registry;
}

}  // namespace keytut::ui
