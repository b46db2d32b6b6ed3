// Earkey's Koch trainer: the screen opens in the copy box, saying the level and the keys. Return
// sends a group of five, the learner types what they heard into the copy box and presses Return,
// and the screen reader says the result at once ("4 of 5. Sent K M U R E, you typed K M R E")
// while the focus stays in the copy box, ready for the next Return. Tab reaches the last result,
// the course list (LCWO's order, the lessons' order or their own) and the box for their own
// order (Return there takes it). Escape ends the session early; what was judged is kept.
#pragma once

#include <QLabel>

#include "platform/ui/koch_screen_base.h"
#include "platform/ui/spoken_box.h"

namespace earkey {

namespace koch {
using namespace keytut::ui::koch_ids;
enum Control { kResultBox = 103, kCourseLabel = 105, kCourse, kOwnOrderLabel, kOwnOrder };
}  // namespace koch

class KochScreen : public keytut::ui::KochScreenBase {
    Q_OBJECT
  public:
    explicit KochScreen(keytut::ui::App& app);

    keytut::ui::SpokenBox* resultBox() const { return resultBox_; }

  private:
    void groupJudged(const keytut::KochUpdate& update) override;
    void courseChanged() override;
    void courseRefused(const std::string& error) override { announce(error); }
    void ownOrderTaken() override { announce(trainer().openingText()); }

    QLabel* instructions_ = nullptr;
    keytut::ui::SpokenBox* resultBox_ = nullptr;
};

}  // namespace earkey
