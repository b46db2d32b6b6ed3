#include "lesson.h"

#include <algorithm>
#include <cstdlib>

#include "core/wave_out.h"

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

std::string lessonTitle(const EditionProfile& profile, const std::vector<std::string>& lessonGroups,
                        int n) {
    std::string title = "Lesson " + std::to_string(n) + "  ";
    if (profile.lessonTitleAsMenuCaption)
        return title + lessonMenuCaption(lessonGroups, n);
    if (n >= 1 && n <= static_cast<int>(lessonGroups.size())) {
        title += lessonGroups[static_cast<std::size_t>(n - 1)];
    }
    return title;
}

LessonKind beginLesson(LessonState& lesson, const std::vector<std::string>& lessonGroups, int n) {
    if (n < 1 || n > static_cast<int>(lessonGroups.size()))
        return LessonKind::None;
    lesson.number = n;
    lesson.stage = 0;
    lesson.text = lessonGroups[static_cast<std::size_t>(n - 1)];
    return isPunctuationGroup(lesson.text) ? LessonKind::Punctuation : LessonKind::Character;
}

CharacterLesson::CharacterLesson(Tutor& tutor, LessonState lesson, Ding ding, Sender::TextDone sent)
    : tutor_(tutor),
      sent_(std::move(sent)),
      style_(tutor.profile.style),
      texts_(tutor.profile.lessonTexts),
      state_(std::move(lesson)),
      ding_(std::move(ding)) {}

void CharacterLesson::play(char c) {
    tutor_.sender.play(std::string(1, c), sent_);
    if (clock_)
        soundEndMs_ = clock_() + soundMs(tutor_.sender.sampleCount());
}

void CharacterLesson::keepAnswers(progress::History* history, Clock clock) {
    history_ = history;
    clock_ = std::move(clock);
}

std::optional<std::string> CharacterLesson::takeFaultNotice() {
    return history_ ? history_->takeFaultNotice() : std::nullopt;
}

void CharacterLesson::keepAnswer(char key, bool right) {
    if (!history_ || !clock_ || expected_.empty())
        return;
    const std::int64_t now = clock_();
    if (!sessionOpen_) {
        sessionOpen_ = true;
        session_ = history_->beginSession({std::string(tutor_.profile.name), "lesson", now, "", 0});
    }
    progress::Answer answer;
    answer.timeMs = now;
    answer.sent = expected_[0];
    answer.answered = key;
    answer.right = right;
    // A key pressed while the character still sounds was quick: no time at all.
    answer.responseMs = static_cast<int>(std::max<std::int64_t>(0, now - soundEndMs_));
    answer.charWpm = std::atoi(speedChoices[static_cast<std::size_t>(tutor_.speeds.charIndex)]);
    answer.wordWpm = std::atoi(speedChoices[static_cast<std::size_t>(tutor_.speeds.wordIndex)]);
    history_->record(session_, answer);
}

void CharacterLesson::endSession() {
    if (!sessionOpen_)
        return;
    sessionOpen_ = false;
    history_->endSession(session_, clock_());
}

char CharacterLesson::randomCharacter() {
    return tutor_.random.characterOf(state_.text);
}

std::string CharacterLesson::pollCandidates() const {
    return keytut::pollCandidates(tutor_.profile.hearingPollsGroupKeys, state_.stage, state_.text);
}

LessonUpdate CharacterLesson::space() {
    LessonUpdate update;
    if (!style_.keyboardOnly || state_.stage != 0 || state_.text.empty())
        return update;
    update.acted = true;
    update.characterBox = " ";
    update.next = state_.text[static_cast<std::size_t>(charPos_ - 1)];
    return update;
}

LessonUpdate CharacterLesson::returnKey() {
    LessonUpdate update;
    switch (state_.stage) {
        case 0:
            if (!style_.keyboardOnly) {
                update.acted = true;
                update.focus = LessonControl::KeyCapture;
                return update;
            }
            if (state_.text.empty())
                return update;
            // The box keeps the previous character until the new one is written.
            ++charPos_;
            if (charPos_ > static_cast<int>(state_.text.size()))
                charPos_ = 1;
            update.next = state_.text[static_cast<std::size_t>(charPos_ - 1)];
            update.acted = true;
            return update;
        case 1:
            if (state_.text.empty())
                return update;
            if (style_.keyboardOnly) {
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
            expected_.assign(1, randomCharacter());
            update.played = expected_[0];
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
    if (!style_.keyboardOnly && state_.stage >= 2)
        return {};
    ++state_.stage;
    if (state_.stage == 2)
        endSession();  // the recognition stage is over
    if (state_.stage == 1)
        return enterRecognition();
    if (state_.stage == 2)
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
    if (style_.speaksTexts) {
        update.rebuildCharacterBox = true;
        update.instructions = std::string(texts_.recognition);
        update.speak = LessonControl::Instructions;
    } else {
        update.instructions = std::string(texts_.recognition);
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
    if (style_.speaksTexts) {
        update.recreateInstructions = randomStarted_;
        update.instructions = std::string(texts_.groupTest);
        // The instructions are spoken whether or not recognition was ever started.
        update.speak = LessonControl::Instructions;
    } else {
        update.instructions = std::string(texts_.groupTest);
        update.removeRecognitionControls = true;
        // The character box is gone; Start is what the learner presses next.
        update.focus = LessonControl::StartButton;
    }
    state_.text = joinedGroups(tutor_.data.lessonGroups, state_.number);
    return update;
}

LessonUpdate CharacterLesson::startTest() {
    // A start while a test is still being sent begins the new test at once: the sender drops
    // the old text cleanly, and a learner who presses Enter mid-test (having lost the thread,
    // say) hears at once that a new test is running instead of being silently ignored.
    LessonUpdate update;
    auto text = startGroupTest(tutor_, state_.text, style_.readsBack ? &review_ : nullptr, sent_);
    if (!text)
        return update;
    update.acted = true;
    update.testStarted = true;
    update.resultsBox = "";
    if (!style_.speaksTexts)
        update.focus = LessonControl::ResultsBox;
    testStarted_ = true;
    testSending_ = true;
    return update;
}

LessonUpdate CharacterLesson::keyChar(char c) {
    LessonUpdate update;
    if (state_.stage == 0) {
        update.acted = true;
        update.played = c;
        play(c);
        update.characterBox = std::string(1, c);
        if (style_.speaksTexts) {
            update.speak = LessonControl::CharacterBox;
            update.delayMs = std::max(kHearingPauseMs, soundMs(tutor_.sender.sampleCount()));
        } else {
            update.keyCaptureBox = "";
        }
        return update;
    }
    // Before the first character of the recognition stage has been sent there is nothing to
    // recognise: a key then is ignored rather than judged against a stale character.
    if (state_.stage == 1 && characterSent_)
        return judge(c);
    return update;
}

LessonUpdate CharacterLesson::judge(char key) {
    LessonUpdate update;
    update.acted = true;
    const bool right = !expected_.empty() && key == expected_[0];
    keepAnswer(key, right);
    if (style_.speaksTexts)
        update.characterBox = "";
    if (right) {
        if (!style_.speaksTexts) {
            update.characterBox = std::string(1, key);
            update.keyCaptureBox = "";
        }
        expected_.assign(1, randomCharacter());
    } else {
        update.dinged = true;
        // Keyview does not show the expected character: the learner hears it again and tries
        // again, which is the exercise. It goes only into the invisible key-capture box.
        if (!style_.speaksTexts)
            update.keyCaptureBox = expected_;
        if (expected_.empty())
            expected_.assign(1, randomCharacter());
    }
    update.played = expected_[0];
    if (update.dinged && ding_) {
        // The character again once the ding is over, unless the lesson closed meanwhile.
        ding_([this, c = expected_[0]] {
            if (!closed_)
                play(c);
        });
    } else {
        play(*update.played);
    }
    return update;
}

LessonUpdate CharacterLesson::sendDone() {
    LessonUpdate update;
    // Only the end of the test text counts. A character of an earlier stage that finishes after
    // the stage changed, or the end of a text that a newer test replaced, is not a result.
    if (state_.stage != 2 || !testSending_ || tutor_.sender.sending())
        return update;
    testSending_ = false;
    update.acted = true;
    if (style_.speaksTexts) {
        update.instructions = std::string(texts_.groupTestFinished);
        update.speak = LessonControl::Instructions;
    } else {
        update.instructions = std::string(texts_.groupTestFinished);
        update.resultsBox = tutor_.sender.text();
    }
    return update;
}

// The cursor keys read back a test sent from this screen. Before the results box exists there
// is nowhere to show a group, and before this screen's first test the list holds the items of
// another exercise, which are not this test's groups: in both cases the keys do nothing.
LessonUpdate CharacterLesson::cursorDown() {
    LessonUpdate update;
    if (!style_.readsBack || state_.stage < 2 || !testStarted_)
        return update;
    if (auto entry = review_.down()) {
        update.acted = true;
        update.resultsBox = spelledForm(review_[*entry]);
        update.speak = LessonControl::ResultsBox;
    }
    return update;
}

LessonUpdate CharacterLesson::cursorUp() {
    LessonUpdate update;
    if (!style_.readsBack || state_.stage < 2 || !testStarted_)
        return update;
    if (auto entry = review_.up()) {
        update.acted = true;
        update.resultsBox = spelledForm(review_[*entry]);
        // Spoken too, although the focus is already on the box: a changed text alone is not
        // announced by every screen reader.
        update.speak = LessonControl::ResultsBox;
    }
    return update;
}

void CharacterLesson::close() {
    closed_ = true;
    endSession();
    tutor_.sender.stop();
    testSending_ = false;
}

}  // namespace keytut
