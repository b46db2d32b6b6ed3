// Keyview's progress screen: the summary, a bar chart of each character's accuracy over its last
// 50 answers in course order, and a line of each Koch session's accuracy over time.
#pragma once

#include <QLabel>
#include <QtCharts/QChartView>

#include "platform/ui/exercise_screen.h"
#include "progress/report.h"

namespace keyview {

namespace progress_screen {
enum Control { kClose = 2, kSummary = 100 };
}  // namespace progress_screen

class ProgressScreen : public keytut::ui::ExerciseScreen {
    Q_OBJECT
  public:
    explicit ProgressScreen(keytut::ui::App& app);

    QLabel* summary() const { return summary_; }
    QChartView* characterChart() const { return characters_; }
    QChartView* sessionChart() const { return sessions_; }

  private:
    QChartView* chartAt(int x, int y, int width, int height, QChart* chart);

    QLabel* summary_ = nullptr;
    QChartView* characters_ = nullptr;
    QChartView* sessions_ = nullptr;
};

}  // namespace keyview
