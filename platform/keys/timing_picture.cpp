#include "timing_picture.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPen>
#include <QPushButton>
#include <QScatterSeries>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "platform/ui/text.h"

namespace keytut::keys {

namespace {

// Within its row a kind's points take one of five heights in turn, keying order kept.
constexpr double kSpread = 0.08;

}  // namespace

int timingRow(TimedKind kind) {
    return static_cast<int>(kTimedKinds) - 1 - static_cast<int>(kind);
}

QChart* timingChart(const TimingStatistics& statistics) {
    auto* chart = new QChart;
    chart->setTitle(QStringLiteral("Your marks and spaces against the ideal"));
    auto* x = new QValueAxis;
    x->setTitleText(QStringLiteral("Length in units of your own dot"));
    auto* y = new QCategoryAxis;
    y->setMin(-0.5);
    y->setStartValue(-0.5);
    y->setMax(kTimedKinds - 0.5);
    y->setLabelsPosition(QCategoryAxis::AxisLabelsPositionCenter);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);

    double longest = 8.0;
    for (std::size_t row = 0; row < kTimedKinds; ++row) {
        const auto& kind = statistics.kinds[kTimedKinds - 1 - row];
        y->append(ui::qText(timedKindName(kind.kind)), row + 0.5);
    }
    bool idealNamed = false;
    for (const auto& kind : statistics.kinds) {
        const int row = timingRow(kind.kind);
        if (!kind.units.empty()) {
            auto* points = new QScatterSeries;
            points->setName(ui::qText(timedKindName(kind.kind)));
            points->setMarkerSize(7.0);
            for (std::size_t i = 0; i < kind.units.size(); ++i) {
                const double offset = (static_cast<int>(i % 5) - 2) * kSpread;
                points->append(kind.units[i], row + offset);
                longest = std::max(longest, kind.units[i]);
            }
            chart->addSeries(points);
            points->attachAxis(x);
            points->attachAxis(y);
            // The rows are named on the axis: the legend keeps only what the line means.
            for (auto* marker : chart->legend()->markers(points))
                marker->setVisible(false);
        }
        auto* ideal = new QLineSeries;
        ideal->setName(QStringLiteral("Ideal length"));
        ideal->append(kind.ideal, row - 0.4);
        ideal->append(kind.ideal, row + 0.4);
        chart->addSeries(ideal);
        // After the chart's theme has given it a colour of its own.
        ideal->setPen(QPen(Qt::black, 2.0));
        ideal->attachAxis(x);
        ideal->attachAxis(y);
        // One "Ideal" in the legend is enough.
        if (idealNamed) {
            for (auto* marker : chart->legend()->markers(ideal))
                marker->setVisible(false);
        }
        idealNamed = true;
    }
    x->setRange(0.0, std::ceil(longest + 0.5));
    x->setTickCount(static_cast<int>(std::ceil(longest + 0.5)) + 1);
    x->setLabelFormat(QStringLiteral("%.0f"));
    chart->legend()->setAlignment(Qt::AlignBottom);
    return chart;
}

TimingReportDialog::TimingReportDialog(const std::string& title, const std::string& report,
                                       const TimingStatistics& statistics, QWidget* owner)
    : QDialog(owner) {
    setWindowTitle(ui::qText(title));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(ui::displayText(report), this);
    text->setTextFormat(Qt::PlainText);
    layout->addWidget(text);
    chartView_ = new QChartView(timingChart(statistics), this);
    chartView_->setRenderHint(QPainter::Antialiasing);
    chartView_->setMinimumSize(560, 340);
    // What the picture shows, in words, for whoever cannot see it.
    std::string said;
    for (const auto& sentence : timingSentences(statistics))
        said += (said.empty() ? "" : " ") + sentence;
    chartView_->setAccessibleName(QStringLiteral("Picture of your timing"));
    chartView_->setAccessibleDescription(ui::qText(said));
    layout->addWidget(chartView_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    buttons->button(QDialogButtonBox::Ok)->setFocus();
}

}  // namespace keytut::keys
