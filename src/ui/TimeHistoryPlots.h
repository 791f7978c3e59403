#pragma once

#include <QWidget>

#include <array>

class QChart;
class QChartView;
class QScatterSeries;
class QSplitter;
class QValueAxis;
class QXYSeries;
class TimeHistory;

// The "Graph" area of the time-history page: acceleration, velocity and
// displacement of one record against time, in three charts stacked in two
// splitters (acceleration | (velocity | displacement)).
//
// Each chart holds three series:
//   0 the uncorrected series, line RGB(255, 127, 255), titled "Acc" / "Vel" / "Vel";
//   1 the baseline-corrected series, grey line, titled "UncorrectedAcc" /
//     "UncorrectedVel" / "UncorrectedVel" (the title is an internal label: no
//     legend shows it), only drawn for a corrected record;
//   2 "Mark": three circles on series 0 - the first sample red, the maximum
//     lime, the minimum yellow (the earliest sample on ties).
//
// A line series redraws at a cost that grows with its point count on every
// change of data, axes or size, which makes a long record (40,000 samples)
// lag. So a line holds all points (i * dt, value[i]) only while there are at
// most four per pixel column of the plot area; beyond that it holds, for each
// pixel column, the first, smallest, largest and last sample falling into it,
// in sample order - the same picture. Samples() gives the full point lists;
// the lines are thinned again whenever the plot area changes size.
class TimeHistoryPlots : public QWidget {
    Q_OBJECT
public:
    enum ChartIndex { AccelerationChart = 0, VelocityChart = 1, DisplacementChart = 2 };
    enum SeriesIndex { UncorrectedLine = 0, CorrectedLine = 1, Marks = 2 };

    // decimalSeparator: the one of the axis labels.
    explicit TimeHistoryPlots(char decimalSeparator = '.', QWidget* parent = nullptr);

    // Empties all nine series.
    void ClearTimeHistoryPlots();

    // Draws the record into the three charts (x = i * dt): series 0 and the
    // marks always, series 1 when the record is corrected, then fits the axes
    // to what is drawn. Does not clear first; callers clear whenever the
    // charts may hold data.
    void PlotRecord(const TimeHistory& record);

    // First bar at 34 % of the area's height, the second at 50 % of the space
    // below the first. The main window calls it whenever it changes size.
    void PlaceSplitters();

    QChartView* ChartView(int chart) const;
    QChart* Chart(int chart) const;
    QXYSeries* Series(int chart, int index) const;
    // All points of line 0 (uncorrected) or 1 (corrected) of a chart, as plotted.
    const QList<QPointF>& Samples(int chart, int index) const;
    QValueAxis* TimeAxis(int chart) const;
    QValueAxis* ValueAxis(int chart) const;
    QSplitter* OuterSplitter() const { return outer; }
    QSplitter* InnerSplitter() const { return inner; }

private:
    struct Plot {
        QChartView* view = nullptr;
        QXYSeries* uncorrected = nullptr;
        QXYSeries* corrected = nullptr;
        QScatterSeries* marks = nullptr;
        QValueAxis* time = nullptr;
        QValueAxis* value = nullptr;
        QList<QPointF> uncorrectedPoints; // every sample, also when the line is thinned
        QList<QPointF> correctedPoints;
    };

    Plot CreatePlot(const QString& valueTitle, const QString& lineTitle,
                    const QString& correctedTitle, int backgroundEnd);
    static void FitAxes(Plot& plot);
    static void DrawLines(Plot& plot);

    char separator;
    std::array<Plot, 3> plots;
    QSplitter* outer;
    QSplitter* inner;
};
