#include "progress_screen.h"

#include <QDateTime>
#include <QFontMetricsF>
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QDateTimeAxis>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QValueAxis>
#include <algorithm>

#include "exercises/edition_profiles.h"
#include "platform/ui/edition_screens.h"
#include "platform/ui/learner_progress.h"
#include "platform/ui/text.h"

namespace keyview {

using namespace keytut;
using namespace keytut::ui;
using namespace keyview::progress_screen;

namespace {

constexpr std::size_t kMostDots = 100;

QValueAxis* percentAxis(int ticks) {
    auto* axis = new QValueAxis;
    axis->setRange(0, 100);
    axis->setTickCount(ticks);
    axis->setLabelFormat("%d %%");
    return axis;
}

// The characters' names as large as the room under each bar allows: the full size at the first
// levels, smaller as the course fills the chart (forty characters and more side by side), so
// that none is cut short to "...". Qt gives a name the width from one tick to the next, less a
// padding on either side, and decides only once the chart is laid out.
void fitLabels(QChart* chart, QBarCategoryAxis* axis) {
    constexpr qreal kPadding = 12;
    const QFont full = axis->labelsFont();
    QObject::connect(chart, &QChart::plotAreaChanged, axis, [axis, full](const QRectF& plot) {
        const QStringList names = axis->categories();
        if (names.isEmpty())
            return;
        const qreal room = plot.width() / static_cast<qreal>(names.size() + 1) - kPadding;
        QFont font = full;
        for (qreal scale : {1.0, 0.85, 0.7}) {
            font.setPointSizeF(full.pointSizeF() * scale);
            const QFontMetricsF metrics(font);
            qreal widest = 0;
            for (const QString& name : names)
                widest = std::max(widest, metrics.horizontalAdvance(name));
            if (widest <= room)
                break;
        }
        if (axis->labelsFont() != font)
            axis->setLabelsFont(font);
    });
}

QChart* makeCharacterChart(const progress::ProgressReport& report) {
    auto* chart = new QChart;
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->setTitle("Accuracy per character, over its last 50 answers");
    chart->legend()->hide();
    auto* set = new QBarSet("Accuracy");
    QStringList names;
    for (const progress::CharacterStats& c : report.characters) {
        *set << c.percent();
        names << qText(progress::characterText(c.character));
    }
    auto* series = new QBarSeries;
    series->append(set);
    chart->addSeries(series);
    auto* characters = new QBarCategoryAxis;
    characters->append(names);
    fitLabels(chart, characters);
    characters->setGridLineVisible(false);
    chart->addAxis(characters, Qt::AlignBottom);
    series->attachAxis(characters);
    QValueAxis* percent = percentAxis(6);
    chart->addAxis(percent, Qt::AlignLeft);
    series->attachAxis(percent);
    return chart;
}

QChart* makeSessionChart(const std::vector<SessionPoint>& points) {
    auto* chart = new QChart;
    chart->setTitle(points.empty() ? "Koch sessions: none yet" : "Accuracy of each Koch session");
    chart->legend()->hide();
    auto* line = new QLineSeries;
    QList<QPointF> at;
    at.reserve(static_cast<qsizetype>(points.size()));
    for (const SessionPoint& p : points)
        at.append(QPointF(static_cast<qreal>(p.timeMs), p.percent));
    line->replace(at);
    chart->addSeries(line);
    std::vector<QXYSeries*> series{line};
    // A dot for each session while they can be told apart; a year of daily practice is a line.
    if (points.size() <= kMostDots) {
        auto* dots = new QScatterSeries;
        dots->setMarkerSize(7);
        dots->replace(at);
        chart->addSeries(dots);
        dots->setColor(line->color());
        series.push_back(dots);
    }
    auto* time = new QDateTimeAxis;
    time->setFormat("d MMM hh:mm");
    time->setTickCount(5);
    if (!points.empty()) {
        QDateTime first = QDateTime::fromMSecsSinceEpoch(points.front().timeMs);
        QDateTime last = QDateTime::fromMSecsSinceEpoch(points.back().timeMs);
        // A single session still gets an hour's width around it.
        if (first.secsTo(last) < 3600) {
            first = first.addSecs(-1800);
            last = last.addSecs(1800);
        }
        time->setRange(first, last);
    } else {
        // With no session the axis has no times of its own: its labels would be the same
        // meaningless date five times over.
        time->setLabelsVisible(false);
    }
    chart->addAxis(time, Qt::AlignBottom);
    QValueAxis* percent = percentAxis(3);
    chart->addAxis(percent, Qt::AlignLeft);
    for (QXYSeries* s : series) {
        s->attachAxis(time);
        s->attachAxis(percent);
    }
    return chart;
}

}  // namespace

ProgressScreen::ProgressScreen(App& app)
    : ExerciseScreen(
          app, {kProgressTitle, 480, 300, DialogFont::SansSerif8, FrameKind::Closable, nullptr}) {
    const progress::ProgressReport report = learnerReport(app);
    std::string summary = report.summary(characterNames(app));
    // Why there is nothing to show, in its place.
    if (progress::Store* store = app.progress(); store && store->fault()) {
        store->takeFaultNotice();
        summary = store->fault()->text();
    }
    summary_ = createControlAs<QLabel>({kSummary, ControlKind::Label, summary, 5, 5, 470, 20});
    characters_ = chartAt(5, 28, 470, 130, makeCharacterChart(report));
    sessions_ = chartAt(5, 162, 470, 112, makeSessionChart(kochSessions(app)));
    onPressed(createControl({kClose, ControlKind::PushButton, "Close", 425, 280, 50, 14,
                             style::DefaultButton}),
              [this] { cancelled(); });
    setOpeningFocus(kClose);
}

QChartView* ProgressScreen::chartAt(int x, int y, int width, int height, QChart* chart) {
    auto* view = new QChartView(chart, this);
    view->setRenderHint(QPainter::Antialiasing);
    view->setGeometry(toPixels(x, y, width, height));
    view->setFocusPolicy(Qt::NoFocus);
    view->setAccessibleName(chart->title());
    return view;
}

const EditionScreens kProgressScreen{kKeyviewProfile.name,
                                     opens<ProgressScreen>(exercise::kProgress)};

}  // namespace keyview
