#include "ui/SpectraChart.h"

#include "UiTestData.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QValueAxis>
#include <gtest/gtest.h>

namespace {

using uitest::MakeStore;

constexpr int Period = 0;
constexpr int Frequency = 1;
constexpr int DisplacementAxis = 2;

int VisibleSeries(const SpectraChart& chart) {
    int visible = 0;
    for (int u = 0; u < SpectraChart::SeriesCount; ++u) {
        visible += chart.Series(u)->isVisible() ? 1 : 0;
    }
    return visible;
}

TEST(SpectraChart, StartsWithNineHiddenEmptySeriesAndTheFirstChoices) {
    const SpectraStore store;
    const SpectraChart chart(store, '.');
    EXPECT_EQ(chart.findChild<QComboBox*>("cbb5"), chart.XAxisList());
    EXPECT_EQ(chart.findChild<QComboBox*>("cbb7"), chart.YAxisList());
    EXPECT_EQ(chart.findChild<QLabel*>("lbl2"), chart.ReadOut());
    EXPECT_EQ(chart.findChild<QChartView*>("cht4"), chart.ChartView());

    const QStringList xItems{"Period", "Frequency", "Displacement"};
    const QStringList yItems{"Displacement", "Velocity", "Acceleration", "Pseudo-Velocity",
                             "Pseudo-Acceleration"};
    for (int i = 0; i < xItems.size(); ++i) {
        EXPECT_EQ(chart.XAxisList()->itemText(i), xItems[i]);
    }
    for (int i = 0; i < yItems.size(); ++i) {
        EXPECT_EQ(chart.YAxisList()->itemText(i), yItems[i]);
    }
    EXPECT_EQ(chart.XAxisList()->count(), 3);
    EXPECT_EQ(chart.YAxisList()->count(), 5);
    EXPECT_EQ(chart.XAxisList()->currentIndex(), 0);
    EXPECT_EQ(chart.YAxisList()->currentIndex(), 0);
    EXPECT_FALSE(chart.XAxisList()->isEditable());
    EXPECT_FALSE(chart.YAxisList()->isEditable());

    EXPECT_EQ(chart.ReadOut()->text(), "X : 0      Y : 0");
    EXPECT_TRUE(chart.ReadOut()->font().bold());
    EXPECT_EQ(chart.ReadOut()->palette().color(QPalette::WindowText), QColor(255, 0, 255));
    EXPECT_EQ(chart.XAxis()->titleText(), "Period [sec]");
    EXPECT_EQ(chart.YAxis()->titleText(), "Response Displacement [cm]");
    EXPECT_TRUE(chart.ChartView()->chart()->legend()->isVisible());
    EXPECT_TRUE(chart.ChartView()->chart()->title().isEmpty());

    const char* colors[9] = {"#E007FE", "#FF1428", "#FF8C00", "#FFFF00", "#00FF00",
                             "#00FFFF", "#00BFFF", "#0000FF", "#0A9BC8"};
    for (int u = 0; u < 9; ++u) {
        const QLineSeries& line = *chart.Series(u);
        EXPECT_EQ(line.count(), 0) << u;
        EXPECT_FALSE(line.isVisible()) << u;
        EXPECT_EQ(line.color(), QColor(colors[u])) << u;
        EXPECT_EQ(line.pen().widthF(), 2.0) << u;
    }
    EXPECT_EQ(chart.Series(9), nullptr);
}

TEST(SpectraChart, OneDampingOnPeriodAndFrequency) {
    const SpectraStore store = MakeStore({0.05});
    SpectraChart chart(store, '.');

    chart.DrawSpectraChart(Period, 0);
    const QLineSeries& line = *chart.Series(0);
    ASSERT_EQ(line.count(), 301);
    EXPECT_EQ(line.at(0), QPointF(0.0, 0.0));
    EXPECT_EQ(line.at(300), QPointF(store.Periods[300], store.DisplacementCurves[0][300]));
    EXPECT_EQ(line.name(), "Damp. 5%");
    EXPECT_TRUE(line.isVisible());
    EXPECT_EQ(VisibleSeries(chart), 1);
    // The axes take in every point.
    EXPECT_LE(chart.XAxis()->min(), 0.0);
    EXPECT_GE(chart.XAxis()->max(), 6.0);
    EXPECT_LE(chart.YAxis()->min(), 0.0);
    EXPECT_GE(chart.YAxis()->max(), store.DisplacementCurves[0][300]);

    chart.ClearSpectraChart();
    EXPECT_EQ(line.count(), 0);
    EXPECT_EQ(VisibleSeries(chart), 0);

    // Frequency leaves out the period 0 and runs from high to low frequency.
    chart.DrawSpectraChart(Frequency, 4);
    ASSERT_EQ(line.count(), 300);
    EXPECT_EQ(line.at(0), QPointF(50.0, store.PseudoAccelerationCurves[0][1]));
    EXPECT_GT(line.at(0).x(), line.at(1).x());
    EXPECT_EQ(line.at(299).x(), store.Frequencies[300]);
}

TEST(SpectraChart, ThreeDampingsInTheFirstThreeColoursAscending) {
    const SpectraStore store = MakeStore({0.025, 0.05, 0.1});
    SpectraChart chart(store, '.');
    chart.show();
    chart.DrawSpectraChart(Period, 2);
    const char* titles[3] = {"Damp. 2.5%", "Damp. 5%", "Damp. 10%"};
    for (int u = 0; u < 3; ++u) {
        EXPECT_EQ(chart.Series(u)->name(), titles[u]);
        EXPECT_TRUE(chart.Series(u)->isVisible());
        EXPECT_EQ(chart.Series(u)->count(), 301);
        // Acceleration reads AccelerationCurves, not the third stored table.
        EXPECT_EQ(chart.Series(u)->at(7).y(),
                  store.AccelerationCurves[static_cast<std::size_t>(u)][7]);
    }
    for (int u = 3; u < 9; ++u) {
        EXPECT_FALSE(chart.Series(u)->isVisible()) << u;
        EXPECT_EQ(chart.Series(u)->count(), 0) << u;
    }
    // Hidden series have no legend entry.
    const QList<QLegendMarker*> markers = chart.ChartView()->chart()->legend()->markers();
    int shown = 0;
    for (const QLegendMarker* marker : markers) {
        shown += marker->isVisible() ? 1 : 0;
    }
    EXPECT_EQ(shown, 3);
}

TEST(SpectraChart, TitlesUseTheDecimalSeparator) {
    const SpectraStore store = MakeStore({0.025});
    SpectraChart chart(store, ',');
    chart.DrawSpectraChart(Period, 0);
    EXPECT_EQ(chart.Series(0)->name(), "Damp. 2,5%");
}

TEST(SpectraChart, DisplacementOnBothAxesIsTheDiagonalFromTheOrigin) {
    SpectraStore store = MakeStore({0.02, 0.05});
    for (DOUBLEVECTOR& curve : store.DisplacementCurves) {
        for (std::size_t i = 0; i < curve.size(); ++i) {
            curve[i] = std::sin(0.01 * static_cast<double>(i)) * 3.0; // up and down
        }
    }
    SpectraChart chart(store, '.');
    chart.DrawSpectraChart(DisplacementAxis, 0);
    for (int u = 0; u < 2; ++u) {
        const QLineSeries& line = *chart.Series(u);
        ASSERT_EQ(line.count(), 301);
        EXPECT_EQ(line.at(0), QPointF(0.0, 0.0));
        for (int i = 0; i < line.count(); ++i) {
            ASSERT_EQ(line.at(i).x(), line.at(i).y()) << i;
        }
    }
}

TEST(SpectraChart, NegativeIndicesOrAnEmptyStoreDrawNothing) {
    const SpectraStore filled = MakeStore({0.05});
    SpectraChart chart(filled, '.');
    chart.DrawSpectraChart(-1, 0);
    chart.DrawSpectraChart(0, -1);
    EXPECT_EQ(VisibleSeries(chart), 0);

    SpectraStore cleared = MakeStore({0.05});
    ClearSpectra(cleared); // "Clear Data": ratios and periods stay, curves go
    SpectraChart empty(cleared, '.');
    empty.DrawSpectraChart(0, 0);
    EXPECT_EQ(VisibleSeries(empty), 0);
    EXPECT_EQ(empty.Series(0)->count(), 0);
}

// A store whose lists disagree, as a refused damping input or a spectra report
// leave it; the chart draws only what every list it reads covers.
struct Inconsistent {
    const char* name;
    void (*spoil)(SpectraStore&);
    int xAxis;
    int quantity;
    int curves; // series drawn
    int points; // points of series 0
};

class SpectraChartInconsistentStore : public ::testing::TestWithParam<Inconsistent> {};

TEST_P(SpectraChartInconsistentStore, DrawsOnlyWhatAllListsCover) {
    const Inconsistent& c = GetParam();
    SpectraStore store = MakeStore({0.02, 0.05, 0.1});
    c.spoil(store);
    SpectraChart chart(store, '.');
    chart.DrawSpectraChart(c.xAxis, c.quantity);
    EXPECT_EQ(VisibleSeries(chart), c.curves);
    EXPECT_EQ(chart.Series(0)->count(), c.points);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SpectraChartInconsistentStore,
    ::testing::Values(
        Inconsistent{"RefusedDampingInput", [](SpectraStore& s) { s.DampingRatios.clear(); }, 0, 0,
                     0, 0},
        Inconsistent{"MoreDampingsThanCurves",
                     [](SpectraStore& s) {
                         s.DampingRatios = {0.01, 0.02, 0.03, 0.04, 0.05};
                     },
                     0, 1, 3, 301},
        Inconsistent{"FewerYCurvesThanDisplacementCurves",
                     [](SpectraStore& s) { s.VelocityCurves.resize(1); }, 0, 1, 1, 301},
        Inconsistent{"ShorterCurves",
                     [](SpectraStore& s) {
                         for (DOUBLEVECTOR& curve : s.PseudoVelocityCurves) {
                             curve.resize(40);
                         }
                     },
                     0, 3, 3, 40},
        Inconsistent{"ShorterPeriodGrid",
                     [](SpectraStore& s) {
                         s.Periods.resize(51);
                         s.Frequencies.resize(51);
                     },
                     1, 0, 3, 50},
        Inconsistent{"ShorterDisplacementAsX",
                     [](SpectraStore& s) { s.DisplacementCurves[0].resize(10); }, 2, 4, 3, 10},
        Inconsistent{"SingleFrequency",
                     [](SpectraStore& s) {
                         s.Periods.resize(1);
                         s.Frequencies.resize(1);
                     },
                     1, 0, 3, 0},
        Inconsistent{
            "MoreThanNineCurves",
            [](SpectraStore& s) {
                s = MakeStore({0.01, 0.02, 0.03, 0.04, 0.05, 0.06, 0.07, 0.08, 0.09, 0.1, 0.11});
            },
            0, 0, 9, 301}),
    [](const ::testing::TestParamInfo<Inconsistent>& info) { return info.param.name; });

// The list handlers set the title, clear and redraw from the store.
struct AxisChoice {
    int index;
    const char* title;
};

class SpectraChartXAxisList : public ::testing::TestWithParam<AxisChoice> {};
class SpectraChartYAxisList : public ::testing::TestWithParam<AxisChoice> {};

TEST_P(SpectraChartXAxisList, SetsTheBottomTitleAndRedraws) {
    const SpectraStore store = MakeStore({0.05, 0.1});
    SpectraChart chart(store, '.');
    chart.DrawSpectraChart(0, 0);
    chart.YAxisList()->setCurrentIndex(3); // redraw with Pseudo-Velocity
    chart.XAxisList()->setCurrentIndex(GetParam().index);
    EXPECT_EQ(chart.XAxis()->titleText(), GetParam().title);
    EXPECT_EQ(chart.YAxis()->titleText(), "Pseudo-Velocity [cm/sec]");
    EXPECT_EQ(chart.Series(1)->count(), GetParam().index == Frequency ? 300 : 301);
    EXPECT_EQ(chart.Series(1)->at(5).y(),
              store.PseudoVelocityCurves[1][GetParam().index == Frequency ? 6 : 5]);
    EXPECT_EQ(VisibleSeries(chart), 2);
}

TEST_P(SpectraChartYAxisList, SetsTheLeftTitleAndRedraws) {
    const SpectraStore store = MakeStore({0.05});
    SpectraChart chart(store, '.');
    chart.XAxisList()->setCurrentIndex(Frequency);
    chart.YAxisList()->setCurrentIndex(GetParam().index);
    if (GetParam().index == 0) { // no change signal for the item already chosen
        chart.YAxisList()->setCurrentIndex(1);
        chart.YAxisList()->setCurrentIndex(0);
    }
    EXPECT_EQ(chart.YAxis()->titleText(), GetParam().title);
    EXPECT_EQ(chart.XAxis()->titleText(), "Frequency [HZ]");
    const auto quantity = static_cast<SpectrumQuantity>(GetParam().index);
    ASSERT_EQ(chart.Series(0)->count(), 300);
    EXPECT_EQ(chart.Series(0)->at(0).y(), store.Curves(quantity)[0][1]);
}

INSTANTIATE_TEST_SUITE_P(Items, SpectraChartXAxisList,
                         ::testing::Values(AxisChoice{1, "Frequency [HZ]"},
                                           AxisChoice{2, "Displacement [cm]"}));
INSTANTIATE_TEST_SUITE_P(Items, SpectraChartYAxisList,
                         ::testing::Values(AxisChoice{0, "Response Displacement [cm]"},
                                           AxisChoice{1, "Response Velocity [cm/sec]"},
                                           AxisChoice{2, "Response Acceleration [g]"},
                                           AxisChoice{3, "Pseudo-Velocity [cm/sec]"},
                                           AxisChoice{4, "Pseudo-Acceleration [g]"}));

TEST(SpectraChart, ListChangeBeforeAnyAnalysisOnlyChangesTheTitle) {
    const SpectraStore store;
    SpectraChart chart(store, '.');
    chart.XAxisList()->setCurrentIndex(2);
    EXPECT_EQ(chart.XAxis()->titleText(), "Displacement [cm]");
    EXPECT_EQ(VisibleSeries(chart), 0);
}

class SpectraChartReadOut : public ::testing::Test {
protected:
    void SetUp() override {
        chart.resize(700, 450);
        chart.show();
        chart.DrawSpectraChart(0, 0);
        QCoreApplication::processEvents();
        plot = chart.ChartView()->chart()->plotArea();
        ASSERT_GT(plot.width(), 100.0);
    }
    // Viewport pixel of a point of the chart's plot area.
    QPoint Pixel(const QPointF& at) const {
        QChartView& view = *chart.ChartView();
        return view.mapFromScene(view.chart()->mapToScene(at));
    }
    void MoveTo(const QPoint& pixel) {
        QMouseEvent move(QEvent::MouseMove, QPointF(pixel),
                         QPointF(chart.ChartView()->viewport()->mapToGlobal(pixel)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(chart.ChartView()->viewport(), &move);
    }
    SpectraStore store = MakeStore({0.05});
    SpectraChart chart{store, ','};
    QRectF plot;
};

TEST_F(SpectraChartReadOut, ShowsTheAxisValuesUnderThePointer) {
    MoveTo(Pixel(plot.center()));
    const QString text = chart.ReadOut()->text();
    const QRegularExpression form(R"(^X : (-?\d+(?:,\d{1,9})?)      Y : (-?\d+(?:,\d{1,9})?)$)");
    const QRegularExpressionMatch match = form.match(text);
    ASSERT_TRUE(match.hasMatch()) << text.toStdString();
    const double x = match.captured(1).replace(',', '.').toDouble();
    const double y = match.captured(2).replace(',', '.').toDouble();
    const double xMid = (chart.XAxis()->min() + chart.XAxis()->max()) / 2.0;
    const double yMid = (chart.YAxis()->min() + chart.YAxis()->max()) / 2.0;
    const double xPixel = (chart.XAxis()->max() - chart.XAxis()->min()) / plot.width();
    const double yPixel = (chart.YAxis()->max() - chart.YAxis()->min()) / plot.height();
    EXPECT_NEAR(x, xMid, 1.5 * xPixel);
    EXPECT_NEAR(y, yMid, 1.5 * yPixel);
}

TEST_F(SpectraChartReadOut, TheLowerLeftCornerIsInsideAndTheMarginsLeaveItUnchanged) {
    chart.UpdateReadOut(Pixel(plot.bottomLeft()));
    const QString corner = chart.ReadOut()->text();
    EXPECT_NE(corner, "X : 0      Y : 0");
    EXPECT_TRUE(corner.startsWith("X : ")) << corner.toStdString();

    for (const QPointF& outside : {plot.topLeft() + QPointF(-15.0, 20.0),    // left margin
                                   plot.bottomLeft() + QPointF(20.0, 15.0),  // below the axis
                                   plot.topRight() + QPointF(30.0, 40.0)}) { // legend
        MoveTo(Pixel(outside));
        EXPECT_EQ(chart.ReadOut()->text(), corner);
    }
}

} // namespace
