#include "lesson.h"

#include <algorithm>

#include "platform/audio/wave_out.h"

namespace keytut {

namespace {

// The pause between a character's sound starting and its name being spoken in the hearing
// stage. A character that sounds longer than that (slow speeds, long codes) is spoken when its
// sound, gap included, has ended, so that speech never talks over the code.
constexpr int kHearingPauseMs = 1000;

int soundMs(std::size_t samples) {
    return static_cast<int>((samples * 1000 + audio::kSampleRate - 1) / audio::kSampleRate);
}

}  // namespace

bool isPunctuationGroup(std::string_view text) {
    return text.find_first_of(kPunctuationCharacters) != std::string_view::npos;
}

std::string lessonMenuCaption(const std::vector<std::string>& lessonGroups, int n) {
    const int count = static_cast<int>(lessonGroups.size());
    if (n < 1 || n > count)
        return {};
    if (n == count)
        return "Punctuation";
    if (n == count - 1)
        return "Numbers";
    std::string caption;
    for (char c : lessonGroups[static_cast<std::size_t>(n - 1)]) {
        caption += c;
        caption += ' ';
    }
    return caption;
}

std::string lessonTitle(Edition edition, const std::vector<std::string>& lessonGroups, int n) {
    std::string title = "Lesson " + std::to_string(n) + "  ";
    if (edition == Edition::Earkey)
        return title + lessonMenuCaption(lessonGroups, n);
    if (n >= 1 && n <= static_cast<int>(lessonGroups.size())) {
        title += lessonGroups[static_cast<std::size_t>(n - 1)];
    }
    return title;
}

LessonKind beginLesson(Tutor& tutor, int n) {
    const auto& groups = tutor.data.lessonGroups;
    if (n < 1 || n > static_cast<int>(groups.size()))
        return LessonKind::None;
    tutor.lessonNumber = n;
    tutor.lessonStage = 0;
    tutor.lessonText = groups[static_cast<std::size_t>(n - 1)];
    return isPunctuationGroup(tutor.lessonText) ? LessonKind::Punctuation : LessonKind::Character;
}

std::string_view openingInstructions(Edition edition) {
    return edition == Edition::Earkey ? kEarkeyHearingInstructions : kKeyviewHearingInstructions;
}

CharacterLesson::CharacterLesson(Tutor& tutor, Ding ding) : tutor_(tutor), ding_(std::move(ding)) {}

void CharacterLesson::play(char c) {
    tutor_.startSending(std::string(1, c));
}

char CharacterLesson::randomCharacter() {
    return tutor_.random.characterOf(tutor_.lessonText);
}

std::string CharacterLesson::pollCandidates() const {
    return keytut::pollCandidates(tutor_.edition, tutor_.lessonStage, tutor_.lessonText);
}

LessonUpdate CharacterLesson::space() {
    LessonUpdate update;
    if (!earkey() || tutor_.lessonStage != 0 || tutor_.lessonText.empty())
        return update;
    update.acted = true;
    update.characterBox = " ";
    if (tutor_.exerciseWindow) {
        const char c = tutor_.lessonText[static_cast<std::size_t>(charPos_ - 1)];
        tutor_.exerciseWindow->post(KeyCharMessage, static_cast<unsigned char>(c), 0);
    }
    return update;
}

LessonUpdate CharacterLesson::returnKey() {
    LessonUpdate update;
    switch (tutor_.lessonStage) {
        case 0:
            if (!earkey()) {
                update.acted = true;
                update.focus = LessonControl::KeyCapture;
                return update;
            }
            if (tutor_.lessonText.empty())
                return update;
            // The box keeps the previous character until the new one is written.
            ++charPos_;
            if (charPos_ > static_cast<int>(tutor_.lessonText.size()))
                charPos_ = 1;
            if (tutor_.exerciseWindow) {
                const char c = tutor_.lessonText[static_cast<std::size_t>(charPos_ - 1)];
                tutor_.exerciseWindow->post(KeyCharMessage, static_cast<unsigned char>(c), 0);
            }
            update.acted = true;
            return update;
        case 1:
            if (tutor_.lessonText.empty())
                return update;
            if (earkey()) {
                // Recognition starts once; later Returns would only interrupt the character.
                if (randomStarted_)
                    return update;
                update.removeInstructions = true;
                update.characterBox = "";
                update.focus = LessonControl::CharacterBox;
                randomStarted_ = true;
            } else {
                // Every Start sends a new character.
                update.focus = LessonControl::KeyCapture;
            }
            update.acted = true;
            tutor_.workText.assign(1, randomCharacter());
            update.played = tutor_.workText[0];
            play(*update.played);
            characterSent_ = true;
            return update;
        case 2:
            return startTest();
        default:
            return update;
    }
}

LessonUpdate CharacterLesson::nextStage() {
    // Keyview's Next goes once the test stage is reached.
    if (!earkey() && tutor_.lessonStage >= 2)
        return {};
    ++tutor_.lessonStage;
    if (tutor_.lessonStage == 1)
        return enterRecognition();
    if (tutor_.lessonStage == 2)
        return enterGroupTest();
    // Earkey counts on; from here only Escape and the cursor keys act.
    LessonUpdate update;
    update.acted = true;
    return update;
}

LessonUpdate CharacterLesson::enterRecognition() {
    LessonUpdate update;
    update.acted = true;
    update.characterBox = "";
    if (earkey()) {
        update.rebuildCharacterBox = true;
        update.instructions = std::string(kEarkeyRecognitionInstructions);
        update.speak = LessonControl::Instructions;
    } else {
        update.instructions = std::string(kKeyviewRecognitionInstructions);
        update.addStartButton = true;
        update.focus = LessonControl::CharacterBox;
    }
    return update;
}

LessonUpdate CharacterLesson::enterGroupTest() {
    LessonUpdate update;
    update.acted = true;
    update.createResultsBox = true;
    update.resultsBox = "";
    if (earkey()) {
        update.recreateInstructions = randomStarted_;
        update.instructions = std::string(kEarkeyGroupTestInstructions);
        // The instructions are spoken whether or not recognition was ever started.
        update.speak = LessonControl::Instructions;
    } else {
        update.instructions = std::string(kKeyviewGroupTestInstructions);
        update.removeRecognitionControls = true;
        // The character box is gone; Start is what the learner presses next.
        update.focus = LessonControl::StartButton;
    }
    tutor_.lessonText = joinedGroups(tutor_.data.lessonGroups, tutor_.lessonNumber);
    return update;
}

LessonUpdate CharacterLesson::startTest() {
    // A start while a test is still being sent begins the new test at once: the sender drops
    // the old text cleanly, and a learner who presses Enter mid-test (having lost the thread,
    // say) hears at once that a new test is running instead of being silently ignored.
    LessonUpdate update;
    auto text = startGroupTest(tutor_);
    if (!text)
        return update;
    update.acted = true;
    update.testStarted = true;
    update.resultsBox = "";
    if (!earkey())
        update.focus = LessonControl::ResultsBox;
    testStarted_ = true;
    testSending_ = true;
    return update;
}

LessonUpdate CharacterLesson::keyChar(char c) {
    LessonUpdate update;
    if (tutor_.lessonStage == 0) {
        update.acted = true;
        update.played = c;
        play(c);
        update.characterBox = std::string(1, c);
        if (earkey()) {
            update.speak = LessonControl::CharacterBox;
            update.delayMs = std::max(kHearingPauseMs, soundMs(tutor_.sampleCount));
        } else {
            update.keyCaptureBox = "";
        }
        return update;
    }
    // Before the first character of the recognition stage has been sent there is nothing to
    // recognise: a key then is ignored rather than judged against a stale character.
    if (tutor_.lessonStage == 1 && characterSent_)
        return judge(c);
    return update;
}

LessonUpdate CharacterLesson::judge(char key) {
    LessonUpdate update;
    update.acted = true;
    const bool right = !tutor_.workText.empty() && key == tutor_.workText[0];
    if (earkey())
        update.characterBox = "";
    if (right) {
        if (!earkey()) {
            update.characterBox = std::string(1, key);
            update.keyCaptureBox = "";
        }
        tutor_.workText.assign(1, randomCharacter());
    } else {
        if (ding_)
            ding_();
        update.dinged = true;
        // Keyview does not show the expected character: the learner hears it again and tries
        // again, which is the exercise. It goes only into the invisible key-capture box.
        if (!earkey())
            update.keyCaptureBox = tutor_.workText;
        if (tutor_.workText.empty())
            tutor_.workText.assign(1, randomCharacter());
    }
    update.played = tutor_.workText[0];
    play(*update.played);
    return update;
}

LessonUpdate CharacterLesson::sendDone() {
    LessonUpdate update;
    // Only the end of the test text counts. A character of an earlier stage that finishes after
    // the stage changed, or the end of a text that a newer test replaced, is not a result.
    if (tutor_.lessonStage != 2 || !testSending_ || tutor_.sending())
        return update;
    testSending_ = false;
    update.acted = true;
    if (earkey()) {
        update.instructions = std::string(kEarkeyGroupTestFinished);
        update.speak = LessonControl::Instructions;
    } else {
        update.instructions = std::string(kKeyviewGroupTestFinished);
        update.resultsBox = tutor_.sendText;
    }
    return update;
}

// The cursor keys read back a test sent from this screen. Before the results box exists there
// is nowhere to show a group, and before this screen's first test the list holds the items of
// another exercise, which are not this test's groups: in both cases the keys do nothing.
LessonUpdate CharacterLesson::cursorDown() {
    LessonUpdate update;
    if (!earkey() || tutor_.lessonStage < 2 || !testStarted_)
        return update;
    if (auto entry = reviewDown(tutor_)) {
        update.acted = true;
        update.resultsBox = spelledForm(tutor_.reviewList[static_cast<std::size_t>(*entry)]);
        update.speak = LessonControl::ResultsBox;
    }
    return update;
}

LessonUpdate CharacterLesson::cursorUp() {
    LessonUpdate update;
    if (!earkey() || tutor_.lessonStage < 2 || !testStarted_)
        return update;
    if (auto entry = reviewUp(tutor_)) {
        update.acted = true;
        update.resultsBox = spelledForm(tutor_.reviewList[static_cast<std::size_t>(*entry)]);
        // Spoken too, although the focus is already on the box: a changed text alone is not
        // announced by every screen reader.
        update.speak = LessonControl::ResultsBox;
    }
    return update;
}

void CharacterLesson::close() {
    tutor_.stopSending();
    testSending_ = false;
}

}  // namespace keytut
