// Keyview's timing report with a picture of the visit's keying: the report's text as the message
// box shows it, above a strip chart with one row per kind of mark and space (dots, dashes, gaps
// inside characters, between characters, between words), each one a point at its length in units
// of the learner's own dot, and the ideal 1, 3, 1, 3 and 7 marked on its row.
#pragma once

#include <QDialog>
#include <string>

#include "keying/timing_statistics.h"

class QChart;
class QChartView;

namespace keytut::keys {

// The chart of `statistics`: a scatter series per kind that was keyed (named by the kind, its
// points at x = length in units, y = the kind's row, dots on top at row 4, gaps between words at
// row 0, spread a little within the row so that equal lengths stay visible), and one line series
// per row at its ideal length.
QChart* timingChart(const TimingStatistics& statistics);

// The row of a kind in the chart.
int timingRow(TimedKind kind);

class TimingReportDialog : public QDialog {
    Q_OBJECT
  public:
    TimingReportDialog(const std::string& title, const std::string& report,
                       const TimingStatistics& statistics, QWidget* owner);
    QChartView* chartView() const { return chartView_; }

  private:
    QChartView* chartView_ = nullptr;
};

}  // namespace keytut::keys
