#include "ui/SpectraChart.h"

#include "spectra/SpectraStore.h"
#include "text/NumberText.h"
#include "ui/ChartAxes.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegend>
#include <QLineSeries>
#include <QMouseEvent>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>

namespace {
const char* const XTitles[3] = {"Period [sec]", "Frequency [HZ]", "Displacement [cm]"};
const char* const YTitles[5] = {"Response Displacement [cm]", "Response Velocity [cm/sec]",
                                "Response Acceleration [g]", "Pseudo-Velocity [cm/sec]",
                                "Pseudo-Acceleration [g]"};
const char* const SeriesColors[SpectraChart::SeriesCount] = {"#E007FE", "#FF1428", "#FF8C00",
                                                             "#FFFF00", "#00FF00", "#00FFFF",
                                                             "#00BFFF", "#0000FF", "#0A9BC8"};
constexpr qreal SeriesWidth = 2.0; // px

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}
} // namespace

SpectraChart::SpectraChart(const SpectraStore& store, char decimalSeparator, QWidget* parent)
    : QWidget(parent), store(store), separator(decimalSeparator) {
    auto* xLabel = new QLabel(QStringLiteral("X-Axis"));
    cbb5 = new QComboBox();
    cbb5->setObjectName(QStringLiteral("cbb5"));
    cbb5->addItems(
        {QStringLiteral("Period"), QStringLiteral("Frequency"), QStringLiteral("Displacement")});
    auto* yLabel = new QLabel(QStringLiteral("Y-Axis"));
    cbb7 = new QComboBox();
    cbb7->setObjectName(QStringLiteral("cbb7"));
    cbb7->addItems({QStringLiteral("Displacement"), QStringLiteral("Velocity"),
                    QStringLiteral("Acceleration"), QStringLiteral("Pseudo-Velocity"),
                    QStringLiteral("Pseudo-Acceleration")});
    cbb5->setCurrentIndex(0);
    cbb7->setCurrentIndex(0);
    lbl2 = new QLabel(QStringLiteral("X : 0      Y : 0"));
    lbl2->setObjectName(QStringLiteral("lbl2"));
    QFont bold = lbl2->font();
    bold.setBold(true);
    lbl2->setFont(bold);
    QPalette magenta = lbl2->palette();
    magenta.setColor(QPalette::WindowText, QColor(255, 0, 255));
    lbl2->setPalette(magenta);

    auto* chart = new QChart();
    chart->setBackgroundRoundness(0);
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->legend()->setAlignment(Qt::AlignRight);
    UseDecimalSeparator(*chart, separator);
    chart->legend()->show();
    axisX = new QValueAxis();
    axisX->setTitleText(QString::fromLatin1(XTitles[0]));
    axisX->setLabelFormat(QStringLiteral("%.6g"));
    axisY = new QValueAxis();
    axisY->setTitleText(QString::fromLatin1(YTitles[0]));
    axisY->setLabelFormat(QStringLiteral("%.6g"));
    chart->addAxis(axisX, Qt::AlignBottom);
    chart->addAxis(axisY, Qt::AlignLeft);
    for (int u = 0; u < SeriesCount; ++u) {
        auto* line = new QLineSeries();
        line->setPen(QPen(QColor(QString::fromLatin1(SeriesColors[u])), SeriesWidth));
        chart->addSeries(line);
        line->attachAxis(axisX);
        line->attachAxis(axisY);
        series[static_cast<std::size_t>(u)] = line;
    }

    cht4 = new QChartView(chart);
    cht4->setObjectName(QStringLiteral("cht4"));
    cht4->setMouseTracking(true);
    cht4->viewport()->setMouseTracking(true);
    cht4->viewport()->installEventFilter(this);

    auto* row = new QHBoxLayout();
    row->addWidget(xLabel);
    row->addWidget(cbb5);
    row->addSpacing(16);
    row->addWidget(yLabel);
    row->addWidget(cbb7);
    row->addSpacing(16);
    row->addWidget(lbl2);
    row->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(row);
    layout->addWidget(cht4, 1);

    connect(cbb5, &QComboBox::currentIndexChanged, this, &SpectraChart::XAxisChanged);
    connect(cbb7, &QComboBox::currentIndexChanged, this, &SpectraChart::YAxisChanged);

    ClearSpectraChart();
}

QLineSeries* SpectraChart::Series(int index) const {
    return index >= 0 && index < SeriesCount ? series[static_cast<std::size_t>(index)] : nullptr;
}

void SpectraChart::ClearSpectraChart() {
    for (QLineSeries* line : series) {
        line->clear();
        line->hide();
    }
    FitAxis(*axisX, 0.0, 1.0, 5);
    FitAxis(*axisY, 0.0, 1.0, 5);
}

void SpectraChart::DrawSpectraChart(int xAxis, int quantity) {
    if (xAxis < 0 || quantity < 0 || xAxis > 2 || quantity > 4) {
        return;
    }
    const std::vector<DOUBLEVECTOR>& yCurves =
        store.Curves(static_cast<SpectrumQuantity>(quantity));
    const std::size_t curves =
        std::min({store.DisplacementCurves.size(), yCurves.size(), store.DampingRatios.size(),
                  static_cast<std::size_t>(SeriesCount)});
    const std::size_t first = xAxis == 1 ? 1 : 0; // the period 0 has no finite frequency

    bool any = false;
    double xLow = 0.0;
    double xHigh = 0.0;
    double yLow = 0.0;
    double yHigh = 0.0;
    for (std::size_t u = 0; u < curves; ++u) {
        const DOUBLEVECTOR& x = xAxis == 0   ? store.Periods
                                : xAxis == 1 ? store.Frequencies
                                             : store.DisplacementCurves[u];
        const DOUBLEVECTOR& y = yCurves[u];
        const std::size_t count = std::min(x.size(), y.size());
        QList<QPointF> points;
        points.reserve(static_cast<qsizetype>(count));
        for (std::size_t i = first; i < count; ++i) {
            points.append(QPointF(x[i], y[i]));
            if (!any) {
                xLow = xHigh = x[i];
                yLow = yHigh = y[i];
                any = true;
            } else {
                xLow = std::min(xLow, x[i]);
                xHigh = std::max(xHigh, x[i]);
                yLow = std::min(yLow, y[i]);
                yHigh = std::max(yHigh, y[i]);
            }
        }
        QLineSeries* line = series[u];
        line->replace(points);
        line->setName(QStringLiteral("Damp. ") +
                      Text(FormatUpTo(store.DampingRatios[u] * 100.0, 3, separator)) +
                      QStringLiteral("%"));
        line->show();
    }
    if (any) {
        FitAxis(*axisX, xLow, xHigh, 8);
        FitAxis(*axisY, yLow, yHigh, 8);
    }
}

void SpectraChart::XAxisChanged(int index) {
    if (index >= 0 && index < 3) {
        axisX->setTitleText(QString::fromLatin1(XTitles[index]));
    }
    ClearSpectraChart();
    DrawSpectraChart(index, cbb7->currentIndex());
}

void SpectraChart::YAxisChanged(int index) {
    if (index >= 0 && index < 5) {
        axisY->setTitleText(QString::fromLatin1(YTitles[index]));
    }
    ClearSpectraChart();
    DrawSpectraChart(cbb5->currentIndex(), index);
}

void SpectraChart::UpdateReadOut(const QPoint& pos) {
    QChart* chart = cht4->chart();
    const QRectF plot = chart->plotArea();
    if (plot.width() <= 0.0 || plot.height() <= 0.0) {
        return;
    }
    const QPointF at = chart->mapFromScene(cht4->mapToScene(pos));
    const double x =
        axisX->min() + (at.x() - plot.left()) / plot.width() * (axisX->max() - axisX->min());
    const double y =
        axisY->max() - (at.y() - plot.top()) / plot.height() * (axisY->max() - axisY->min());
    if (x < axisX->min() || x > axisX->max() || y < axisY->min() || y > axisY->max()) {
        return;
    }
    lbl2->setText(QStringLiteral("X : ") + Text(FormatUpTo(x, 9, separator)) +
                  QStringLiteral("      Y : ") + Text(FormatUpTo(y, 9, separator)));
}

bool SpectraChart::eventFilter(QObject* watched, QEvent* event) {
    if (watched == cht4->viewport() && event->type() == QEvent::MouseMove) {
        UpdateReadOut(static_cast<QMouseEvent*>(event)->position().toPoint());
    }
    return QWidget::eventFilter(watched, event);
}
