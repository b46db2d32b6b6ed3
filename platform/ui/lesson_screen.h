// The character lesson: hearing the characters of a group (stage 0), recognising random ones by
// their keys (stage 1) and the five-character group test (stage 2). The lesson itself is
// CharacterLesson, which says, in the edition's style, which controls come and go as the stages
// change; the layout gives those controls. Earkey's learner works it from the keyboard, every
// text the learner must hear spoken by the screen reader; Keyview's with Next, Start and Exit.
#pragma once

#include <QPointer>
#include <string>
#include <vector>

#include "exercises/lesson.h"
#include "laid_out_screen.h"

namespace keytut::ui {

// The ids both editions give the instructions, the character box and the box of the results.
namespace lesson_ids {
constexpr int kInstructions = 100;
constexpr int kCharacterBox = 101;
constexpr int kResultsBox = 104;
}  // namespace lesson_ids

struct LessonLayout : ScreenLayout {
    // The window is the lesson's, whatever `screen` says; `controls` are those of the hearing
    // stage, in tab order.
    // The controls an update names; an id of 0: the layout has none. The character box and the
    // results box are black on white.
    ControlSpec characterBox;
    ControlSpec instructions;  // created again, empty, when the update says so (Earkey)
    ControlSpec resultsBox;    // created entering the group test
    ControlSpec startButton;   // added entering recognition (Keyview)
    int keyCapture = 0;        // the box that takes typed keys until the group test (Keyview)
    // Removed entering the group test (Keyview).
    std::vector<int> recognitionControls;

    // Keys that act wherever the focus is; 0: none. Start (CharacterLesson::returnKey()),
    // Space (playing the character again) and the next stage.
    int startKey = 0;
    int repeatKey = 0;
    int nextStageKey = 0;
    // Whether Up and Down, wherever the focus is, read the last test back.
    bool readBackKeys = false;
    // The button of the next stage; whether Return where no button takes it is Start.
    int nextButton = 0;
    bool returnStarts = false;
};

class LessonScreen : public LaidOutScreen {
    Q_OBJECT
  public:
    // Over the lesson that beginLesson() opened; starts the key poller.
    LessonScreen(App& app, const LessonLayout& layout, const LessonState& opened);

    CharacterLesson& lesson() { return lesson_; }
    const CharacterLesson& lesson() const { return lesson_; }

  protected:
    void cancelled() override;
    void returnPressed() override;
    void keyChar(char c) override;
    void sendDone() override;

  private:
    void show(const LessonUpdate& update);
    // Creates a box of the layout, coloured as the layout's boxes are.
    QWidget* createBox(const ControlSpec& spec);
    // Destroys a control of the layout, and forgets it where a member below held it.
    void destroy(int id);
    // The control an update names; none where the layout has none or the stage removed it.
    QWidget* controlOf(LessonControl which) const;

    const LessonLayout layout_;
    CharacterLesson lesson_;
    // The controls that come and go with the stages: each is cleared when its control is
    // destroyed and set again when one is created. Until the group test Keyview's key-capture
    // box is also its results box (one id).
    QPointer<QWidget> characterBox_;
    QPointer<QWidget> instructions_;
    QPointer<QWidget> keyCapture_;
    QPointer<QWidget> resultsBox_;
    QPointer<QWidget> startButton_;
};

}  // namespace keytut::ui
