#pragma once

#include <QWidget>

#include <array>

class QChartView;
class QComboBox;
class QLabel;
class QLineSeries;
class QValueAxis;
struct SpectraStore;

// The "Graph" tab of the spectra page: the X-Axis list cbb5 ("Period",
// "Frequency", "Displacement"), the Y-Axis list cbb7 (the five quantities), the
// cursor read-out lbl2 and the chart cht4 with a pool of nine line series, one
// per damping ratio of the store. Only reads the store.
class SpectraChart : public QWidget {
    Q_OBJECT
public:
    static constexpr int SeriesCount = 9;

    // The store outlives the widget; decimalSeparator is used for titles and read-out.
    SpectraChart(const SpectraStore& store, char decimalSeparator, QWidget* parent = nullptr);

    // Every series emptied and hidden; the axes back to 0 .. 1.
    void ClearSpectraChart();

    // Adds the store's curves to the (just cleared) series: series u gets the
    // points (X[i], Y[i]) in that order, titled "Damp. " + ratio x 100 ("0.###")
    // + "%", and is shown. xAxis: 0 Period (Periods, from index 0), 1 Frequency
    // (Frequencies, from index 1), 2 Displacement (DisplacementCurves[u]);
    // quantity: the SpectrumQuantity index. Negative indices draw nothing.
    // A store whose lists disagree is drawn as far as all of them reach: the
    // curves u < min(count of DisplacementCurves, of the Y table, of
    // DampingRatios, 9), each up to the shorter of its X and Y lists, so
    // nothing past the end of any list is read. Then fits the axes to the
    // drawn points, widened to readable tick steps.
    void DrawSpectraChart(int xAxis, int quantity);

    // The read-out for a pointer at pos (pixels of the chart view): the axis
    // values there, unless they lie outside either axis range (bounds
    // included), when the label is left as it is.
    void UpdateReadOut(const QPoint& pos);

    QComboBox* XAxisList() const { return cbb5; }
    QComboBox* YAxisList() const { return cbb7; }
    QLabel* ReadOut() const { return lbl2; }
    QChartView* ChartView() const { return cht4; }
    QLineSeries* Series(int index) const;
    QValueAxis* XAxis() const { return axisX; }
    QValueAxis* YAxis() const { return axisY; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void XAxisChanged(int index);
    void YAxisChanged(int index);

    const SpectraStore& store;
    char separator;
    QComboBox* cbb5;
    QComboBox* cbb7;
    QLabel* lbl2;
    QChartView* cht4;
    QValueAxis* axisX;
    QValueAxis* axisY;
    std::array<QLineSeries*, SeriesCount> series{};
};
