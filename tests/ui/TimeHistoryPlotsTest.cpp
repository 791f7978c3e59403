#include "ui/TimeHistoryPlots.h"

#include "UiTestData.h"

#include <QChart>
#include <QChartView>
#include <QCoreApplication>
#include <QLegend>
#include <QLineSeries>
#include <QScatterSeries>
#include <QSplitter>
#include <QValueAxis>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

using uitest::CorrectByOffset;
using uitest::MakeRecord;

const QColor Red(255, 0, 0);
const QColor Lime(0, 255, 0);
const QColor Yellow(255, 255, 0);

QColor MarkColor(const QXYSeries& marks, int index) {
    return marks.pointConfiguration(index)
        .value(QXYSeries::PointConfiguration::Color)
        .value<QColor>();
}

struct Mark {
    QPointF point;
    QColor color;
};

void ExpectMarks(const QXYSeries& marks, const std::vector<Mark>& expected) {
    ASSERT_EQ(marks.count(), static_cast<int>(expected.size()));
    for (int i = 0; i < marks.count(); ++i) {
        EXPECT_EQ(marks.at(i), expected[static_cast<std::size_t>(i)].point) << "mark " << i;
        EXPECT_EQ(MarkColor(marks, i), expected[static_cast<std::size_t>(i)].color) << "mark " << i;
    }
}

TEST(TimeHistoryPlots, MarksFirstSampleMaximumAndMinimumOfTheAcceleration) {
    TimeHistoryPlots plots;
    const auto record = MakeRecord("r.txt", 0.01, {0.0, 0.3, -0.2});
    plots.PlotRecord(*record);

    ExpectMarks(*plots.Series(0, 2),
                {{{0.0, 0.0}, Red}, {{0.01, 0.3}, Lime}, {{0.02, -0.2}, Yellow}});
    const QXYSeries& line = *plots.Series(0, 0);
    ASSERT_EQ(line.count(), 3);
    EXPECT_EQ(line.at(2), QPointF(0.02, -0.2));
}

TEST(TimeHistoryPlots, TiesPickTheEarliestSample) {
    TimeHistoryPlots plots;
    const auto record = MakeRecord("r.txt", 0.5, {0.1, 0.4, -0.3, 0.4, -0.3});
    plots.PlotRecord(*record);
    ExpectMarks(*plots.Series(0, 2),
                {{{0.0, 0.1}, Red}, {{0.5, 0.4}, Lime}, {{1.0, -0.3}, Yellow}});
}

TEST(TimeHistoryPlots, VelocityAndDisplacementMarksStartAtTheOrigin) {
    TimeHistoryPlots plots;
    const auto record = MakeRecord("r.txt", 0.01, {0.2, 0.5, -0.4, 0.1, 0.0});
    plots.PlotRecord(*record);
    const DOUBLEVECTOR* series[3] = {nullptr, &record->GetVelocity(), &record->GetDisplacement()};
    for (int chart = 1; chart < 3; ++chart) {
        const QXYSeries& marks = *plots.Series(chart, 2);
        ASSERT_EQ(marks.count(), 3);
        EXPECT_EQ(marks.at(0), QPointF(0.0, 0.0));
        EXPECT_EQ(MarkColor(marks, 0), Red);
        const DOUBLEVECTOR& values = *series[chart];
        const auto max = std::max_element(values.begin(), values.end());
        const auto min = std::min_element(values.begin(), values.end());
        EXPECT_EQ(marks.at(1), QPointF(0.01 * static_cast<double>(max - values.begin()), *max));
        EXPECT_EQ(marks.at(2), QPointF(0.01 * static_cast<double>(min - values.begin()), *min));
        EXPECT_EQ(plots.Series(chart, 0)->count(), 5);
    }
}

TEST(TimeHistoryPlots, TimeIsTheSampleIndexTimesTheStep) {
    TimeHistoryPlots plots;
    const double dt = 0.005;
    const auto record = uitest::MakeLongRecord("long.txt", dt, 40000);
    plots.PlotRecord(*record);
    const QList<QPointF>& samples = plots.Samples(0, 0);
    ASSERT_EQ(samples.size(), 40000);
    for (int i : {0, 1, 7, 19999, 39999}) {
        // Bit for bit: a product, no running sum.
        EXPECT_EQ(samples[i], QPointF(static_cast<double>(i) * dt, record->GetAcceleration()[i]))
            << i;
    }
}

// A long record is drawn as the first, lowest, highest and last sample of
// every pixel column: far fewer points, the same extremes and ends.
TEST(TimeHistoryPlots, ALongLineKeepsItsEndsAndExtremesWhenThinned) {
    TimeHistoryPlots plots;
    plots.resize(800, 600);
    plots.show();
    QCoreApplication::processEvents();
    auto record = uitest::MakeLongRecord("long.txt", 0.005, 40000);
    CorrectByOffset(*record, 0.01);
    plots.PlotRecord(*record);
    for (int chart = 0; chart < 3; ++chart) {
        const double width = plots.Chart(chart)->plotArea().width();
        for (int index = 0; index < 2; ++index) {
            const QList<QPointF>& samples = plots.Samples(chart, index);
            const QList<QPointF> drawn = plots.Series(chart, index)->points();
            ASSERT_EQ(samples.size(), 40000);
            EXPECT_LE(drawn.size(), 4 * (static_cast<int>(width) + 2)) << chart << index;
            EXPECT_EQ(drawn.front(), samples.front());
            EXPECT_EQ(drawn.back(), samples.back());
            const auto byY = [](const QPointF& a, const QPointF& b) { return a.y() < b.y(); };
            EXPECT_EQ(*std::max_element(drawn.begin(), drawn.end(), byY),
                      *std::max_element(samples.begin(), samples.end(), byY));
            EXPECT_EQ(*std::min_element(drawn.begin(), drawn.end(), byY),
                      *std::min_element(samples.begin(), samples.end(), byY));
            for (qsizetype i = 1; i < drawn.size(); ++i) {
                ASSERT_LT(drawn[i - 1].x(), drawn[i].x()) << "sample order";
            }
        }
    }
    // A narrower plot area thins the lines again, from all the samples.
    const qsizetype wide = plots.Series(0, 0)->count();
    plots.resize(400, 600);
    QCoreApplication::processEvents();
    EXPECT_LT(plots.Series(0, 0)->count(), wide);
    EXPECT_LE(plots.Series(0, 0)->count(),
              4 * (static_cast<int>(plots.Chart(0)->plotArea().width()) + 2));
    EXPECT_EQ(plots.Samples(0, 0).size(), 40000);

    // Short records keep every point.
    const auto shortRecord = MakeRecord("short.txt", 0.01, {0.0, 0.3, -0.2, 0.1});
    plots.ClearTimeHistoryPlots();
    plots.PlotRecord(*shortRecord);
    EXPECT_EQ(plots.Series(0, 0)->count(), 4);
}

TEST(TimeHistoryPlots, GreyLinesOnlyForACorrectedRecord) {
    TimeHistoryPlots plots;
    const auto record = MakeRecord("r.txt", 0.01, {0.0, 0.3, -0.2, 0.1});
    plots.PlotRecord(*record);
    for (int chart = 0; chart < 3; ++chart) {
        EXPECT_EQ(plots.Series(chart, 1)->count(), 0) << chart;
    }

    CorrectByOffset(*record, 0.05);
    plots.ClearTimeHistoryPlots();
    plots.PlotRecord(*record);
    const DOUBLEVECTOR* corrected[3] = {&record->GetCorrectedAcceleration(),
                                        &record->GetCorrectedVelocity(),
                                        &record->GetCorrectedDisplacement()};
    for (int chart = 0; chart < 3; ++chart) {
        const QXYSeries& grey = *plots.Series(chart, 1);
        ASSERT_EQ(grey.count(), 4) << chart;
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(grey.at(i),
                      QPointF(0.01 * i, (*corrected[chart])[static_cast<std::size_t>(i)]));
        }
    }
    // The marks stay on the uncorrected line.
    ExpectMarks(*plots.Series(0, 2),
                {{{0.0, 0.0}, Red}, {{0.01, 0.3}, Lime}, {{0.02, -0.2}, Yellow}});

    // Correction removed: the redraw has no grey lines.
    record->ClearCorrection();
    plots.ClearTimeHistoryPlots();
    plots.PlotRecord(*record);
    for (int chart = 0; chart < 3; ++chart) {
        EXPECT_EQ(plots.Series(chart, 1)->count(), 0) << chart;
    }
}

TEST(TimeHistoryPlots, ClearEmptiesAllNineSeries) {
    TimeHistoryPlots plots;
    auto record = MakeRecord("r.txt", 0.01, {0.0, 0.3, -0.2});
    CorrectByOffset(*record, 0.1);
    plots.PlotRecord(*record);
    plots.ClearTimeHistoryPlots();
    for (int chart = 0; chart < 3; ++chart) {
        for (int index = 0; index < 3; ++index) {
            EXPECT_EQ(plots.Series(chart, index)->count(), 0) << chart << "," << index;
        }
        EXPECT_TRUE(plots.Series(chart, 2)->pointsConfiguration().isEmpty());
    }
    // A record of one sample after a longer one: three marks on the same point.
    const auto single = MakeRecord("one.txt", 0.01, {0.25});
    plots.PlotRecord(*single);
    ExpectMarks(*plots.Series(0, 2),
                {{{0.0, 0.25}, Red}, {{0.0, 0.25}, Lime}, {{0.0, 0.25}, Yellow}});
}

TEST(TimeHistoryPlots, ChartsSeriesAndAxesCarryTheirTitlesAndColours) {
    TimeHistoryPlots plots;
    const char* valueTitles[3] = {"Acceleration[g]", "Velocity [cm/sec]", "Displacement [cm]"};
    const char* lineTitles[3][3] = {{"Acc", "UncorrectedAcc", "Mark"},
                                    {"Vel", "UncorrectedVel", "Mark"},
                                    {"Vel", "UncorrectedVel", "Mark"}};
    for (int chart = 0; chart < 3; ++chart) {
        EXPECT_EQ(plots.TimeAxis(chart)->titleText(), "Time [sec]");
        EXPECT_EQ(plots.ValueAxis(chart)->titleText(), valueTitles[chart]);
        EXPECT_FALSE(plots.Chart(chart)->legend()->isVisible());
        EXPECT_TRUE(plots.Chart(chart)->title().isEmpty());
        for (int index = 0; index < 3; ++index) {
            EXPECT_EQ(plots.Series(chart, index)->name(), lineTitles[chart][index]);
        }
        EXPECT_EQ(plots.Series(chart, 0)->color(), QColor(255, 127, 255));
        EXPECT_EQ(plots.Series(chart, 1)->color(), QColor(128, 128, 128));
        auto* marks = qobject_cast<QScatterSeries*>(plots.Series(chart, 2));
        ASSERT_NE(marks, nullptr);
        EXPECT_EQ(marks->markerShape(), QScatterSeries::MarkerShapeCircle);
        EXPECT_FALSE(plots.Series(chart, 0)->useOpenGL());
    }
}

TEST(TimeHistoryPlots, AxesSpanBothLines) {
    TimeHistoryPlots plots;
    auto record = MakeRecord("r.txt", 0.02, {0.0, 0.3, -0.2, 0.1, 0.05});
    CorrectByOffset(*record, 0.5); // corrected acceleration reaches -0.7 g
    plots.PlotRecord(*record);
    EXPECT_LE(plots.TimeAxis(0)->min(), 0.0);
    EXPECT_GE(plots.TimeAxis(0)->max(), 0.08);
    EXPECT_LE(plots.ValueAxis(0)->min(), -0.7);
    EXPECT_GE(plots.ValueAxis(0)->max(), 0.3);
    // Not far beyond the data either.
    EXPECT_GE(plots.ValueAxis(0)->min(), -1.5);
    EXPECT_LE(plots.ValueAxis(0)->max(), 1.0);
}

TEST(TimeHistoryPlots, PlaceSplittersPutsTheBarsAt34And50Percent) {
    TimeHistoryPlots plots;
    plots.resize(500, 620);
    plots.show();
    QSplitter& outer = *plots.OuterSplitter();
    QSplitter& inner = *plots.InnerSplitter();
    for (int round = 0; round < 2; ++round) {
        plots.PlaceSplitters();
        const int height = outer.height();
        EXPECT_NEAR(outer.sizes()[0], 0.34 * height, 1.0);
        const int below = height - outer.sizes()[0] - outer.handleWidth();
        EXPECT_NEAR(inner.sizes()[0], 0.5 * below, 1.0);
        // The user drags both bars; the next placement puts them back.
        outer.setSizes({height - 200, 200 - outer.handleWidth()});
        inner.setSizes({20, 160});
    }
}

} // namespace
