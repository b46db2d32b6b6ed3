// Keyview's Koch trainer: Return (or Start) sends a group of five, the learner types what they
// heard into the copy box and presses Return, and the group goes into the list with what was
// typed, the characters got wrong marked. The course list chooses LCWO's order, the lessons'
// order or the learner's own (typed in the box beside it; Return there takes it). Exit or
// Escape ends the session early; what was judged is kept.
#pragma once

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "platform/ui/koch_screen_base.h"

namespace keyview {

namespace koch {
using namespace keytut::ui::koch_ids;
enum Control { kExit = 2, kStart = 103, kGroups, kStatus };
enum CourseControl { kCourseLabel = 106, kCourse, kOwnOrderLabel, kOwnOrder };
}  // namespace koch

// What a row of the list of groups holds besides its text.
enum KochRowRole {
    kSentRole = Qt::UserRole,  // the group sent
    kTypedRole,                // what was typed, as judged
    kWrongRole,                // for each character sent, '1' where it was missed or wrong
};

class KochScreen : public keytut::ui::KochScreenBase {
    Q_OBJECT
  public:
    explicit KochScreen(keytut::ui::App& app);

    QPushButton* startButton() const { return start_; }
    QListWidget* groups() const { return groups_; }
    QLabel* status() const { return status_; }

  private:
    void groupJudged(const keytut::KochUpdate& update) override;
    void courseChanged() override;
    void courseRefused(const std::string& error) override;
    void courseTaken() override { status_->clear(); }
    void addRow(const keytut::KochRow& row, const std::string& result);

    QLabel* instructions_ = nullptr;
    QPushButton* start_ = nullptr;
    QListWidget* groups_ = nullptr;
    QLabel* status_ = nullptr;
};

}  // namespace keyview
