#include "ui/TimeHistoryPlots.h"

#include "record/Timeserie.h"
#include "ui/ChartAxes.h"

#include <QChart>
#include <QChartView>
#include <QGraphicsLayout>
#include <QLineSeries>
#include <QScatterSeries>
#include <QSplitter>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <array>
#include <cmath>

namespace {
const QColor UncorrectedColor(255, 127, 255);
const QColor CorrectedColor(128, 128, 128);
const QColor FirstMarkColor(255, 0, 0);
const QColor MaxMarkColor(0, 255, 0);
const QColor MinMarkColor(255, 255, 0);
constexpr qreal MarkSize = 9.0;       // px
constexpr int FallbackColumns = 2048; // px, while the plot area has no size yet
constexpr int TimeIntervals = 10;     // about this many tick steps along the time axis
constexpr int ValueIntervals = 4;     // the charts are short: few steps up the value axis

// Titles and labels small enough for a chart a third of the area high.
void UseCompactFonts(QValueAxis& axis) {
    QFont title = axis.titleFont();
    title.setPointSizeF(7.5);
    axis.setTitleFont(title);
    QFont labels = axis.labelsFont();
    labels.setPointSizeF(7.0);
    axis.setLabelsFont(labels);
}

// The points (i * dt, values[i]); x as a product so that long records do not
// drift as a running sum would.
QList<QPointF> Points(const DOUBLEVECTOR& values, double dt) {
    QList<QPointF> points;
    points.reserve(static_cast<qsizetype>(values.size()));
    for (std::size_t i = 0; i < values.size(); ++i) {
        points.append(QPointF(static_cast<double>(i) * dt, values[i]));
    }
    return points;
}

// First sample, first maximum, first minimum of the line.
void PlaceMarks(QScatterSeries& marks, const QList<QPointF>& line) {
    if (line.isEmpty()) {
        return;
    }
    qsizetype maxIndex = 0;
    qsizetype minIndex = 0;
    for (qsizetype i = 1; i < line.size(); ++i) {
        if (line[i].y() > line[maxIndex].y()) {
            maxIndex = i;
        }
        if (line[i].y() < line[minIndex].y()) {
            minIndex = i;
        }
    }
    marks.replace(QList<QPointF>{line.front(), line[maxIndex], line[minIndex]});
    const QColor colors[3] = {FirstMarkColor, MaxMarkColor, MinMarkColor};
    for (int i = 0; i < 3; ++i) {
        marks.setPointConfiguration(i, QXYSeries::PointConfiguration::Color, colors[i]);
    }
}

// The samples of each pixel column reduced to its first, smallest, largest and
// last one, in sample order; all points when there are at most four per column.
// x ascends, so the samples of one column are consecutive.
QList<QPointF> Thin(const QList<QPointF>& points, double xLow, double xHigh, int columns) {
    if (points.size() <= 4 * static_cast<qsizetype>(columns) || !(xLow < xHigh)) {
        return points;
    }
    const double scale = columns / (xHigh - xLow);
    const auto column = [&](qsizetype i) { return std::floor((points[i].x() - xLow) * scale); };
    QList<QPointF> thinned;
    thinned.reserve(4 * static_cast<qsizetype>(columns) + 8);
    qsizetype start = 0;
    while (start < points.size()) {
        const double current = column(start);
        qsizetype low = start;
        qsizetype high = start;
        qsizetype end = start + 1;
        for (; end < points.size() && column(end) == current; ++end) {
            if (points[end].y() < points[low].y()) {
                low = end;
            }
            if (points[end].y() > points[high].y()) {
                high = end;
            }
        }
        std::array<qsizetype, 4> kept{start, low, high, end - 1};
        std::sort(kept.begin(), kept.end());
        for (std::size_t k = 0; k < kept.size(); ++k) {
            if (k == 0 || kept[k] != kept[k - 1]) {
                thinned.append(points[kept[k]]);
            }
        }
        start = end;
    }
    return thinned;
}

} // namespace

TimeHistoryPlots::TimeHistoryPlots(char decimalSeparator, QWidget* parent)
    : QWidget(parent), separator(decimalSeparator) {
    plots[AccelerationChart] = CreatePlot(QStringLiteral("Acceleration[g]"), QStringLiteral("Acc"),
                                          QStringLiteral("UncorrectedAcc"), 226);
    plots[VelocityChart] = CreatePlot(QStringLiteral("Velocity [cm/sec]"), QStringLiteral("Vel"),
                                      QStringLiteral("UncorrectedVel"), 230);
    plots[DisplacementChart] =
        CreatePlot(QStringLiteral("Displacement [cm]"), QStringLiteral("Vel"),
                   QStringLiteral("UncorrectedVel"), 230);
    plots[AccelerationChart].view->setObjectName(QStringLiteral("AccelerationChart"));
    plots[VelocityChart].view->setObjectName(QStringLiteral("VelocityChart"));
    plots[DisplacementChart].view->setObjectName(QStringLiteral("DisplacementChart"));

    inner = new QSplitter(Qt::Vertical);
    inner->addWidget(plots[VelocityChart].view);
    inner->addWidget(plots[DisplacementChart].view);
    outer = new QSplitter(Qt::Vertical);
    outer->addWidget(plots[AccelerationChart].view);
    outer->addWidget(inner);
    for (QSplitter* splitter : {outer, inner}) {
        splitter->setChildrenCollapsible(false);
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(outer);

    for (std::size_t chart = 0; chart < plots.size(); ++chart) {
        connect(plots[chart].view->chart(), &QChart::plotAreaChanged, this,
                [this, chart] { DrawLines(plots[chart]); });
    }
}

TimeHistoryPlots::Plot TimeHistoryPlots::CreatePlot(const QString& valueTitle,
                                                    const QString& lineTitle,
                                                    const QString& correctedTitle,
                                                    int backgroundEnd) {
    Plot plot;
    auto* chart = new QChart();
    chart->legend()->hide();
    chart->setBackgroundRoundness(0);
    chart->setMargins(QMargins(2, 2, 8, 0));
    chart->layout()->setContentsMargins(0, 0, 0,
                                        0); // the charts are short: every pixel to the plot
    QLinearGradient background(0.0, 0.0, 0.0, 1.0);
    background.setCoordinateMode(QGradient::ObjectBoundingMode);
    background.setColorAt(0.0, Qt::white);
    background.setColorAt(1.0, QColor(backgroundEnd, backgroundEnd, backgroundEnd));
    chart->setBackgroundBrush(background);
    chart->setBackgroundPen(QPen(QColor(128, 128, 128)));
    UseDecimalSeparator(*chart, separator);

    auto* uncorrected = new QLineSeries();
    uncorrected->setName(lineTitle);
    uncorrected->setPen(QPen(UncorrectedColor, 1.0));
    auto* corrected = new QLineSeries();
    corrected->setName(correctedTitle);
    corrected->setPen(QPen(CorrectedColor, 1.0));
    auto* marks = new QScatterSeries();
    marks->setName(QStringLiteral("Mark"));
    marks->setMarkerShape(QScatterSeries::MarkerShapeCircle);
    marks->setMarkerSize(MarkSize);
    marks->setPen(QPen(Qt::black, 1.0));

    chart->addSeries(uncorrected);
    chart->addSeries(corrected);
    chart->addSeries(marks);

    auto* time = new QValueAxis();
    time->setTitleText(QStringLiteral("Time [sec]"));
    time->setLabelFormat(QStringLiteral("%.6g"));
    auto* value = new QValueAxis();
    value->setTitleText(valueTitle);
    value->setLabelFormat(QStringLiteral("%.6g"));
    UseCompactFonts(*time);
    UseCompactFonts(*value);
    chart->addAxis(time, Qt::AlignBottom);
    chart->addAxis(value, Qt::AlignLeft);
    for (QAbstractSeries* series :
         {static_cast<QAbstractSeries*>(uncorrected), static_cast<QAbstractSeries*>(corrected),
          static_cast<QAbstractSeries*>(marks)}) {
        series->attachAxis(time);
        series->attachAxis(value);
    }

    plot.view = new QChartView(chart);
    plot.view->setMinimumHeight(60);
    plot.view->setFrameShape(QFrame::NoFrame);
    plot.uncorrected = uncorrected;
    plot.corrected = corrected;
    plot.marks = marks;
    plot.time = time;
    plot.value = value;
    return plot;
}

void TimeHistoryPlots::ClearTimeHistoryPlots() {
    for (Plot& plot : plots) {
        plot.uncorrectedPoints.clear();
        plot.correctedPoints.clear();
        plot.uncorrected->clear();
        plot.corrected->clear();
        plot.marks->clearPointsConfiguration();
        plot.marks->clear();
    }
}

void TimeHistoryPlots::PlotRecord(const TimeHistory& record) {
    const double dt = record.GetDt();
    const DOUBLEVECTOR* uncorrected[3] = {&record.GetAcceleration(), &record.GetVelocity(),
                                          &record.GetDisplacement()};
    const DOUBLEVECTOR* corrected[3] = {&record.GetCorrectedAcceleration(),
                                        &record.GetCorrectedVelocity(),
                                        &record.GetCorrectedDisplacement()};
    for (int chart = 0; chart < 3; ++chart) {
        Plot& plot = plots[static_cast<std::size_t>(chart)];
        plot.uncorrectedPoints = Points(*uncorrected[chart], dt);
        plot.correctedPoints.clear();
        if (record.IsCorrected()) {
            plot.correctedPoints = Points(*corrected[chart], dt);
        }
        PlaceMarks(*plot.marks, plot.uncorrectedPoints);
        // Axes before lines: every change of either redraws the lines.
        FitAxes(plot);
        DrawLines(plot);
    }
}

// The axes of a chart span the two lines it shows, rounded to readable ticks.
void TimeHistoryPlots::FitAxes(Plot& plot) {
    double xLow = 0.0;
    double xHigh = 0.0;
    double yLow = 0.0;
    double yHigh = 0.0;
    bool any = false;
    for (const QList<QPointF>* points : {&plot.uncorrectedPoints, &plot.correctedPoints}) {
        for (const QPointF& point : *points) {
            if (!any) {
                xLow = xHigh = point.x();
                yLow = yHigh = point.y();
                any = true;
                continue;
            }
            xLow = std::min(xLow, point.x());
            xHigh = std::max(xHigh, point.x());
            yLow = std::min(yLow, point.y());
            yHigh = std::max(yHigh, point.y());
        }
    }
    if (!any) {
        return;
    }
    FitAxis(*plot.time, xLow, xHigh, TimeIntervals);
    FitAxis(*plot.value, yLow, yHigh, ValueIntervals);
}

void TimeHistoryPlots::DrawLines(Plot& plot) {
    const double width = plot.view->chart()->plotArea().width();
    const int columns = width >= 1.0 ? static_cast<int>(std::ceil(width)) : FallbackColumns;
    const double xLow = plot.time->min();
    const double xHigh = plot.time->max();
    plot.uncorrected->replace(Thin(plot.uncorrectedPoints, xLow, xHigh, columns));
    plot.corrected->replace(Thin(plot.correctedPoints, xLow, xHigh, columns));
}

void TimeHistoryPlots::PlaceSplitters() {
    const int height = outer->height();
    const int outerHandle = outer->handleWidth();
    const int first = static_cast<int>(std::lround(0.34 * height));
    const int below = std::max(height - first - outerHandle, 0);
    outer->setSizes({first, below});
    const int innerHandle = inner->handleWidth();
    const int second = static_cast<int>(std::lround(0.5 * below));
    inner->setSizes({second, std::max(below - second - innerHandle, 0)});
}

QChartView* TimeHistoryPlots::ChartView(int chart) const {
    return chart >= 0 && chart < 3 ? plots[static_cast<std::size_t>(chart)].view : nullptr;
}

QChart* TimeHistoryPlots::Chart(int chart) const {
    QChartView* view = ChartView(chart);
    return view != nullptr ? view->chart() : nullptr;
}

QXYSeries* TimeHistoryPlots::Series(int chart, int index) const {
    if (chart < 0 || chart >= 3) {
        return nullptr;
    }
    const Plot& plot = plots[static_cast<std::size_t>(chart)];
    switch (index) {
    case UncorrectedLine:
        return plot.uncorrected;
    case CorrectedLine:
        return plot.corrected;
    case Marks:
        return plot.marks;
    default:
        return nullptr;
    }
}

const QList<QPointF>& TimeHistoryPlots::Samples(int chart, int index) const {
    static const QList<QPointF> none;
    if (chart < 0 || chart >= 3) {
        return none;
    }
    const Plot& plot = plots[static_cast<std::size_t>(chart)];
    return index == UncorrectedLine ? plot.uncorrectedPoints
           : index == CorrectedLine ? plot.correctedPoints
                                    : none;
}

QValueAxis* TimeHistoryPlots::TimeAxis(int chart) const {
    return chart >= 0 && chart < 3 ? plots[static_cast<std::size_t>(chart)].time : nullptr;
}

QValueAxis* TimeHistoryPlots::ValueAxis(int chart) const {
    return chart >= 0 && chart < 3 ? plots[static_cast<std::size_t>(chart)].value : nullptr;
}
