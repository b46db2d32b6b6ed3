// The character lesson: hearing the characters of a group (stage 0), recognising random ones by
// their keys (stage 1) and the five-character group test (stage 2), for both editions. The
// screens map their keys, buttons and posted messages onto CharacterLesson's events and apply
// the LessonUpdate each event returns to their widgets; all sound is started here.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/tutor.h"
#include "group_test.h"
#include "key_poller.h"
#include "progress/history.h"

namespace keytut {

// Any one of these characters in a group makes it a punctuation lesson.
inline constexpr std::string_view kPunctuationCharacters = "+@!=/.,?";
bool isPunctuationGroup(std::string_view text);

// Earkey's main-menu caption of lesson n (1-based) of `lessonGroups`: "Punctuation" for the
// last group, "Numbers" for the one before it, otherwise each character followed by a blank
// ("E T I M "). Empty for a number outside the list.
std::string lessonMenuCaption(const std::vector<std::string>& lessonGroups, int n);

// The lesson window's title: "Lesson 3  E T A " with the menu caption (Earkey), "Lesson 3  ETA"
// with the group itself (Keyview).
std::string lessonTitle(const EditionProfile& profile, const std::vector<std::string>& lessonGroups,
                        int n);

enum class LessonKind {
    None,         // no such lesson group: nothing opens
    Character,    // the character lesson opens
    Punctuation,  // the punctuation screen opens instead
};

// The lesson that is open: its number (1-based), its stage (0 hearing, 1 recognition, 2 group
// test; Earkey counts on past 2) and the characters in play.
struct LessonState {
    int number = 0;
    int stage = 0;
    std::string text;
};

// The start of every lesson entry: number := n, stage := 0, text := group n, then which screen
// to open. A lesson that does not exist leaves `lesson` as it was.
LessonKind beginLesson(LessonState& lesson, const std::vector<std::string>& lessonGroups, int n);

// Texts of the lesson screens. Lines are separated by CR LF.
inline constexpr std::string_view kEarkeyHearingInstructions =
    "Press SPACE to start or repeat a character,\r\n"
    "Return for the next character\r\n"
    "or F1 for the next stage";
inline constexpr std::string_view kEarkeyRecognitionInstructions =
    "Random characters will now be sent from the group,\r\n"
    "Enter to start, press the key of the character you hear,\r\n"
    "F1 for the next stage or Escape to exit";
inline constexpr std::string_view kEarkeyGroupTestInstructions =
    "20 groups of 5 characters will now be sent \r\n"
    "from those learned so far,\r\n"
    "They will be displayed when finished sending,\r\n"
    "Enter to start or Escape to exit";
inline constexpr std::string_view kEarkeyGroupTestFinished =
    "Use the cursor keys to read the list of words\r\n"
    "Press enter to go again";
inline constexpr std::string_view kKeyviewHearingInstructions =
    "Press a key from the group to hear the code";
inline constexpr std::string_view kKeyviewRecognitionInstructions =
    "Random characters will now be sent\r\n"
    "from the group, press the key when\r\n"
    "you recognise the character";
inline constexpr std::string_view kKeyviewGroupTestInstructions =
    "20 groups of 5 characters will now be sent \r\n"
    "from those learned so far\r\n"
    "They will be displayed when finished sending";
inline constexpr std::string_view kKeyviewGroupTestFinished =
    "How did you do?\r\n"
    "Press Start to go again";
inline constexpr std::string_view kKeyPressedCaption = "Key pressed:";
inline constexpr std::string_view kNextCaption = "Next";
inline constexpr std::string_view kStartCaption = "Start";
inline constexpr std::string_view kExitCaption = "Exit";

// Each edition's instructions for the stages (EditionProfile::lessonTexts).
inline constexpr LessonTexts kEarkeyLessonTexts{
    kEarkeyHearingInstructions, kEarkeyRecognitionInstructions, kEarkeyGroupTestInstructions,
    kEarkeyGroupTestFinished};
inline constexpr LessonTexts kKeyviewLessonTexts{
    kKeyviewHearingInstructions, kKeyviewRecognitionInstructions, kKeyviewGroupTestInstructions,
    kKeyviewGroupTestFinished};

// Controls of the lesson window that an update refers to (ids: character box 101, instruction
// label 100, Keyview's key-capture box 104 before stage 2, results box 104 from stage 2, Start 1).
enum class LessonControl { None, CharacterBox, Instructions, KeyCapture, ResultsBox, StartButton };

// What the screen does after an event, in this order: the layout changes, the new texts, then
// the focus, then (Earkey) having a control's text spoken. Sound has already been started.
struct LessonUpdate {
    bool acted = false;  // false: the event means nothing now; the screen does nothing

    // Layout changes.
    bool rebuildCharacterBox = false;   // Earkey, entering stage 1: the character box becomes a
                                        // read-only edit box, created again (last in tab order)
    bool removeInstructions = false;    // Earkey, recognition started: the label goes
    bool recreateInstructions = false;  // Earkey, entering stage 2 after that: the label comes
                                        // back, empty, after the character box in tab order
    bool addStartButton = false;        // Keyview, entering stage 1
    bool removeRecognitionControls = false;  // Keyview, entering stage 2: the character box, the
                                             // "Key pressed:" label, the key-capture box and Next
    bool createResultsBox = false;           // entering stage 2

    // New texts: nothing leaves a control as it is, "" clears it.
    std::optional<std::string> characterBox;
    std::optional<std::string> keyCaptureBox;
    std::optional<std::string> instructions;
    std::optional<std::string> resultsBox;

    // Where the keyboard focus goes; None leaves it.
    LessonControl focus = LessonControl::None;
    // Earkey: the control whose (new) text the screen reader must say now, through the speaking
    // helper; the focus ends on it. None: nothing to say.
    LessonControl speak = LessonControl::None;
    // Earkey, stage 0: the character box text and its speaking wait this many milliseconds after
    // the sound started, so that the learner hears the code before its name.
    int delayMs = 0;

    // The sound started by the event, for the screen's information: the wrong-answer sound is
    // played to its end first, then this character (or the test text) is started.
    bool dinged = false;
    std::optional<char> played;
    bool testStarted = false;

    // Earkey's SPACE and Return in stage 0: the character the screen gives to keyChar() once it
    // has shown this update, behind whatever else is waiting.
    std::optional<char> next;
};

class CharacterLesson {
  public:
    // Plays the wrong-answer sound ("ding.wav") and calls its argument once it has finished
    // (not at all if the screen has gone by then).
    using Ding = std::function<void(std::function<void()> then)>;
    // Milliseconds since 1970; a virtual clock in tests.
    using Clock = std::function<std::int64_t()>;

    // Takes over the lesson that beginLesson() opened. Earkey's SPACE plays character 1 first;
    // recognition has not started. `sent` is told each time a text the lesson started ends.
    CharacterLesson(Tutor& tutor, LessonState lesson, Ding ding, Sender::TextDone sent);

    // Earkey SPACE (32), stage 0: blanks the character box and hands back the character at
    // charPos to be played (LessonUpdate::next).
    LessonUpdate space();
    // Return / Enter / Start (command 1): stage 0 Earkey moves charPos on (after the last comes the
    // first) and hands it back to be played; stage 1 starts recognition (Earkey: once only;
    // Keyview: every press sends a new character); stage 2 starts a group test.
    LessonUpdate returnKey();
    // Earkey F1 (112) / Keyview Next (103): the next stage. Earkey counts on past 2 with nothing
    // left acting but Escape and the cursor keys; Keyview never passes 2.
    LessonUpdate nextStage();
    // A character to play in stage 0 (Earkey's SPACE and Return, Keyview's group keys), a key
    // to judge in stage 1.
    LessonUpdate keyChar(char c);
    // The end of a text: ends a group test that was being sent; ignored otherwise.
    LessonUpdate sendDone();
    // Earkey cursor Down (40) / Up (38): read the last test back, one group at a time.
    LessonUpdate cursorDown();
    LessonUpdate cursorUp();
    // Escape / Exit (command 2): stops sending after the current character. The screen closes.
    void close();

    // Keeps each key judged in the recognition stage in `history` (one session for the stage),
    // with its response time from the end of the character's sound. Without it nothing is kept.
    void keepAnswers(progress::History* history, Clock clock);
    // Why the answers are not being kept, once, when the history could not keep them.
    std::optional<std::string> takeFaultNotice();

    // The keys the poller looks at now.
    std::string pollCandidates() const;

    const LessonState& state() const { return state_; }
    int stage() const { return state_.stage; }
    // The character to recognise in stage 1 (empty before the first).
    const std::string& expected() const { return expected_; }
    // Earkey: the groups of this screen's last test.
    const ReviewList& review() const { return review_; }
    int charPos() const { return charPos_; }
    bool randomStarted() const { return randomStarted_; }
    bool testSending() const { return testSending_; }

  private:
    void play(char c);
    char randomCharacter();
    LessonUpdate enterRecognition();
    LessonUpdate enterGroupTest();
    LessonUpdate startTest();
    LessonUpdate judge(char key);
    void keepAnswer(char key, bool right);
    void endSession();

    Tutor& tutor_;
    Sender::TextDone sent_;
    const EditionStyle& style_;
    const LessonTexts& texts_;
    LessonState state_;
    ReviewList review_;
    std::string expected_;
    Ding ding_;
    int charPos_ = 1;
    bool randomStarted_ = false;  // Earkey: recognition started with Return
    bool characterSent_ = false;  // stage 1: a character to recognise has been sent
    bool testStarted_ = false;    // a group test has been started on this screen
    bool testSending_ = false;    // the test text is still being sent
    bool closed_ = false;         // Escape or Exit closed it
    progress::History* history_ = nullptr;
    Clock clock_;
    progress::SessionId session_ = 0;
    bool sessionOpen_ = false;
    std::int64_t soundEndMs_ = 0;  // when the character to recognise stopped sounding
};

}  // namespace keytut
