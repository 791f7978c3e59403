#include "record/Timeserie.h"
#include "record/Integration.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct PeakCase {
    std::vector<double> samples;
    double max;
    int maxIndex;
    double min;
    int minIndex;
    double peak;
};

class PeakTracking : public ::testing::TestWithParam<PeakCase> {};

TEST_P(PeakTracking, TracksFirstOccurrenceOfExtremes) {
    const PeakCase& c = GetParam();
    TimeHistory record("r.txt", 0.01);
    for (double s : c.samples) {
        record.AddAcceleration(s);
    }
    EXPECT_EQ(record.Count(), static_cast<int>(c.samples.size()));
    EXPECT_EQ(record.GetMaxAcceleration(), c.max);
    EXPECT_EQ(record.GetMaxIndex(), c.maxIndex);
    EXPECT_EQ(record.GetMinAcceleration(), c.min);
    EXPECT_EQ(record.GetMinIndex(), c.minIndex);
    EXPECT_EQ(record.PeakAcceleration(), c.peak);
}

INSTANTIATE_TEST_SUITE_P(Examples, PeakTracking,
                         ::testing::Values(PeakCase{{}, 0.0, -1, 0.0, -1, 0.0},
                                           PeakCase{{0.1, -0.3, 0.2}, 0.2, 2, -0.3, 1, 0.3},
                                           PeakCase{{-1, -3}, -1, 0, -3, 1, 3},
                                           PeakCase{{0.5, 0.5}, 0.5, 0, 0.5, 0, 0.5},
                                           PeakCase{
                                               {0, 0.3, -0.2, 0.3, -0.2}, 0.3, 1, -0.2, 2, 0.3}));

TEST(TimeHistoryState, NewRecordIsEmptyAndUnflagged) {
    TimeHistory record("quake", 0.02);
    EXPECT_EQ(record.GetName(), "quake");
    EXPECT_EQ(record.GetDt(), 0.02);
    EXPECT_FALSE(record.IsCorrected());
    EXPECT_FALSE(record.IsIntegrated());
    EXPECT_EQ(record.GetCorrectionType(), 0);
    EXPECT_TRUE(record.GetAccelerationSeries(true).empty());
}

TEST(TimeHistoryState, AddingASampleInvalidatesDerivedSeries) {
    TimeHistory record("r", 0.01);
    record.AddAcceleration(1.0);
    record.SetIntegrated(true);
    record.SetCorrected(true);
    record.AddAcceleration(2.0);
    EXPECT_FALSE(record.IsIntegrated());
    EXPECT_FALSE(record.IsCorrected());
}

TEST(TimeHistoryState, ClearCorrectionEmptiesCorrectedSeriesAndKeepsType) {
    TimeHistory record("r", 0.01);
    record.AddAcceleration(1.0);
    record.GetCorrectedAcceleration() = {1.0};
    record.GetCorrectedVelocity() = {0.0};
    record.GetCorrectedDisplacement() = {0.0};
    record.SetCorrected(true);
    record.SetCorrectionType(1);
    record.ClearCorrection();
    EXPECT_FALSE(record.IsCorrected());
    EXPECT_EQ(record.GetCorrectionType(), 1);
    EXPECT_TRUE(record.GetCorrectedAcceleration().empty());
    EXPECT_TRUE(record.GetCorrectedVelocity().empty());
    EXPECT_TRUE(record.GetCorrectedDisplacement().empty());
    // On an uncorrected record it changes nothing.
    record.ClearCorrection();
    EXPECT_EQ(record.GetCorrectionType(), 1);
}

TEST(Integration, ConstantOneGAccumulatesWithTheDecimalSixthConstant) {
    TimeHistory record("r", 0.01);
    for (int i = 0; i < 3; ++i) {
        record.AddAcceleration(1.0);
    }
    IntegrateRecord(record, 980, false);
    const DOUBLEVECTOR& v = record.GetVelocity();
    const DOUBLEVECTOR& d = record.GetDisplacement();
    ASSERT_EQ(v.size(), 3u);
    ASSERT_EQ(d.size(), 3u);
    EXPECT_EQ(v[0], 0.0);
    EXPECT_NEAR(v[1], 9.8, 1e-12);
    EXPECT_NEAR(v[2], 19.6, 1e-12);
    EXPECT_EQ(d[0], 0.0);
    // 0.1666666667 rather than 1/6 shows in the 11th digit.
    EXPECT_NEAR(d[1], 0.0490000000098, 1e-15);
    EXPECT_NEAR(d[2], 0.1960000000196, 1e-15);
    EXPECT_NE(d[1], 0.049);
}

TEST(Integration, FormulaOrderIsBitExact) {
    TimeHistory record("r", 0.005);
    const double samples[] = {0.013, -0.2, 0.31, 0.0007, -0.05};
    for (double s : samples) {
        record.AddAcceleration(s);
    }
    const double dt = 0.005, g = 981.5;
    IntegrateRecord(record, g, false);
    double v = 0, d = 0;
    for (int i = 1; i < 5; ++i) {
        const double vOld = v;
        v = (0.5 * dt * g) * (samples[i] + samples[i - 1]) + v;
        d = (dt * vOld + d) + (0.1666666667 * dt * dt * g) * (2 * samples[i - 1] + samples[i]);
        EXPECT_EQ(record.GetVelocity()[i], v) << i;
        EXPECT_EQ(record.GetDisplacement()[i], d) << i;
    }
}

TEST(Integration, OneSampleGivesZeroAndEmptyRecordNothing) {
    TimeHistory one("r", 0.01);
    one.AddAcceleration(0.7);
    IntegrateRecord(one, 980, false);
    EXPECT_EQ(one.GetVelocity(), DOUBLEVECTOR{0.0});
    EXPECT_EQ(one.GetDisplacement(), DOUBLEVECTOR{0.0});

    TimeHistory empty("e", 0.01);
    IntegrateRecord(empty, 980, false);
    EXPECT_TRUE(empty.GetVelocity().empty());
}

TEST(Integration, CorrectedSeriesFillTheCorrectedTargetsOnly) {
    TimeHistory record("r", 0.01);
    record.AddAcceleration(0.0);
    record.AddAcceleration(1.0);
    IntegrateRecord(record, 980, false);
    record.GetCorrectedAcceleration() = {0.0, 2.0};
    IntegrateRecord(record, 980, true);
    EXPECT_NEAR(record.GetCorrectedVelocity()[1], 9.8, 1e-12);
    EXPECT_NEAR(record.GetVelocity()[1], 4.9, 1e-12);
}

} // namespace
