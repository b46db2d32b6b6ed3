// What the Koch Trainer screens of both editions share: the copy box and the course controls,
// bound to the trainer. Return sends and judges a group (the copy box is emptied as a group
// starts); Return in the own-order box takes the order typed; a choice in the course list moves
// the trainer to that course; Escape ends the session, what was judged being kept.
//
// An edition builds its screen in tab order: createCopyRow(), its own controls, createCourseRow(),
// its own, then bind(); and says through the virtual functions how it shows what happened.
#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <memory>
#include <optional>
#include <string>

#include "exercise_screen.h"
#include "exercises/koch_trainer.h"

namespace keytut::ui {

// The ids both editions give the instructions and the copy row.
namespace koch_ids {
constexpr int kInstructions = 100;
constexpr int kCopyLabel = 101;
constexpr int kCopyBox = 102;
}  // namespace koch_ids

// Where an edition places the common controls, in dialog units; the ids are the edition's own.
struct KochLayout {
    ControlSpec copyLabel;  // "&Copy:"
    ControlSpec copyBox;
    ControlSpec courseLabel;  // "Co&urse:"
    ControlSpec course;
    ControlSpec ownOrderLabel;  // "&Own order:"
    ControlSpec ownOrder;
};

// The common controls as both editions place them: the copy row at `copyY`, its box `copyWidth`
// units wide, and the course row at `courseY`, both rows from the left edge. The course list,
// the own-order label and its box take the ids after the course label's.
KochLayout kochRows(int copyY, int copyWidth, int courseLabelId, int courseY);

class KochScreenBase : public ExerciseScreen {
    Q_OBJECT
  public:
    KochTrainer& trainer() { return *trainer_; }
    QLineEdit* copyBox() const { return copyBox_; }
    QComboBox* courseList() const { return course_; }
    QLineEdit* ownOrderBox() const { return ownOrder_; }

  protected:
    // The trainer starts on the course used last, at the level kept for it.
    KochScreenBase(App& app, const ScreenSpec& spec, const KochLayout& layout);

    void createCopyRow();
    void createCourseRow();
    // The list and the box show the course in use; the bindings; the focus opens in the copy box.
    void bind();

    void returnPressed() override;

    // A group was started or judged (the update has acted).
    virtual void groupJudged(const KochUpdate& update) = 0;
    // The trainer moved to another course: its opening text is new.
    virtual void courseChanged() = 0;
    // A course that cannot be used, and why.
    virtual void courseRefused(const std::string& error) = 0;
    // A course was taken from the list or the own-order box (changed or not).
    virtual void courseTaken() {}
    // The order typed in the own-order box was taken.
    virtual void ownOrderTaken() {}

  private:
    // Takes the course chosen in the list (and typed in the own-order box): the session so far
    // ends, and the trainer opens at the level kept for that course. False when it cannot be
    // used.
    bool applyCourse();

    const KochLayout layout_;
    std::unique_ptr<KochTrainer> trainer_;
    QLineEdit* copyBox_ = nullptr;
    QComboBox* course_ = nullptr;
    QLineEdit* ownOrder_ = nullptr;
};

}  // namespace keytut::ui
