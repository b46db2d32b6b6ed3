// What the two editions differ in, as values. Each program holds one profile and hands it to
// the tutor; the core, the exercises and the keying read these values and never ask which
// edition runs, so that a difference between Earkey and Keyview is one field here and one value
// in each program's profile.
#pragma once

#include <string_view>

namespace keytut {

// How the exercises present themselves.
struct EditionStyle {
    // Texts the learner must hear are spoken by the screen reader: the focus is moved onto them
    // (Earkey). Otherwise they are shown where the learner looks (Keyview).
    bool speaksTexts = false;
    // The cursor keys read the last test back one item at a time, from a review list (Earkey).
    bool readsBack = false;
    // Driven from the keyboard alone: SPACE repeats, Return goes on, F1 is the next stage
    // (Earkey). Otherwise by buttons: Start, Next, Exit (Keyview).
    bool keyboardOnly = false;
};

// The lesson's instructions for its stages, and the text shown when a group test has been sent.
// Lines are separated by CR LF.
struct LessonTexts {
    std::string_view hearing;
    std::string_view recognition;
    std::string_view groupTest;
    std::string_view groupTestFinished;
};

struct EditionProfile {
    // The edition's name in the learner's kept history ("earkey", "keyview").
    std::string_view name;
    // The amplitude of the sender's tone.
    int toneAmplitude = 3000;
    // Appended to each word of the word list (Keyview: a blank, the word space when the words
    // are sent one after another).
    std::string_view wordEnding;
    EditionStyle style;
    LessonTexts lessonTexts;
    // The lesson window's title names the group as the main menu's caption does ("E T A ",
    // Earkey) rather than as the group itself ("ETA").
    bool lessonTitleAsMenuCaption = false;
    // The key poller also listens in the hearing stage, to the keys of the group's characters.
    bool hearingPollsGroupKeys = false;
    // Written after each speed of the timing report (" WPM").
    std::string_view speedUnit;
    // The key screens show four prosigns as their letters ("+" as CT, "@" as AR, "!" as VA,
    // "=" as BT and a line end), so that a screen reader says them.
    bool prosignsAsLetters = false;
};

}  // namespace keytut
