#include "spectra/SdofSolver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

std::unique_ptr<TimeHistory> Record(const std::vector<double>& samples, double dt) {
    auto record = std::make_unique<TimeHistory>("r.txt", dt);
    for (double s : samples) {
        record->AddAcceleration(s);
    }
    return record;
}

struct SubStepCase {
    double dt, period, maxDtOverT;
    int n;
};

class SubSteps : public ::testing::TestWithParam<SubStepCase> {};

TEST_P(SubSteps, TruncatesRatioPlusOne) {
    const SubStepCase& c = GetParam();
    EXPECT_EQ(SubStepCount(c.dt, c.period, c.maxDtOverT), c.n);
}

INSTANTIATE_TEST_SUITE_P(Examples, SubSteps,
                         ::testing::Values(SubStepCase{0.01, 0.5, 0.02, 2},   // ratio exactly 1
                                           SubStepCase{0.02, 2, 0.02, 1},     // ratio 0.5
                                           SubStepCase{0.01, 0.03, 0.02, 17}, // 16.67 + 1
                                           SubStepCase{0.01, 0.02, 0.02, 26},
                                           SubStepCase{0.005, 6, 0.02, 1},
                                           SubStepCase{1, 1, 0x1p-19, 524289}, // 2^19 + 1
                                           // Beyond MaxSubStepCount: no count.
                                           SubStepCase{1, 1, 0x1p-20, 0}, // 2^20 + 1
                                           SubStepCase{0.01, 1e-12, 0.02, 0},
                                           SubStepCase{-0.01, 1, 0.02, 0}));

TEST(PiecewiseExactCoefficients, UndampedAreTheRotationOfFreeVibration) {
    const double omega = CircularFrequency(0.5);
    const double h = 0.005;
    const PiecewiseExactCoefficientSet c = PiecewiseExactCoefficients(0.0, h, omega);
    EXPECT_DOUBLE_EQ(c.A11, std::cos(omega * h));
    EXPECT_DOUBLE_EQ(c.A12, std::sin(omega * h) / omega);
    EXPECT_DOUBLE_EQ(c.A21, -omega * std::sin(omega * h));
    EXPECT_DOUBLE_EQ(c.A22, std::cos(omega * h));
    // A constant excitation a held over the sub-step moves the oscillator at
    // rest to -a (1 - cos) / omega².
    const double shift = c.B11 + c.B12;
    EXPECT_NEAR(shift, -(1 - std::cos(omega * h)) / (omega * omega), 1e-15);
}

class StepExcitation : public ::testing::TestWithParam<SolverMethod> {};

// 0 g, then 4000 samples of 0.1 g: the oscillator overshoots its static
// displacement -0.1 g / omega² and settles there.
TEST_P(StepExcitation, OvershootsAndSettlesAtStaticDisplacement) {
    std::vector<double> samples(4001, 0.1);
    samples[0] = 0.0;
    const auto record = Record(samples, 0.01);
    double sd = -1, sv = -1, sa = -1;
    SdofFinalState final;
    ASSERT_TRUE(ComputePeakAndFinalResponse(*record, false, 980, 0.02, 0.05, 1.0, GetParam(), 0.25,
                                            0.5, sd, sv, sa, final));
    EXPECT_NEAR(sd, 4.60, 0.005);
    EXPECT_NEAR(sv, 14.45, 0.005);
    EXPECT_NEAR(sa, 0.186, 0.0005);
    const double omega = CircularFrequency(1.0);
    EXPECT_NEAR(final.Displacement, -0.1 * 980 / (omega * omega), 0.001);
    EXPECT_NEAR(final.Displacement, -2.482, 0.001);
    EXPECT_NEAR(final.Velocity, 0.0, 0.001);

    double sd2 = 0, sv2 = 0, sa2 = 0;
    ASSERT_TRUE(ComputePeakResponse(*record, false, 980, 0.02, 0.05, 1.0, GetParam(), 0.25, 0.5,
                                    sd2, sv2, sa2));
    EXPECT_EQ(sd2, sd);
    EXPECT_EQ(sv2, sv);
    EXPECT_EQ(sa2, sa);
}

INSTANTIATE_TEST_SUITE_P(BothMethods, StepExcitation,
                         ::testing::Values(SolverMethod::PiecewiseExact, SolverMethod::Newmark));

class SolverEdges : public ::testing::TestWithParam<SolverMethod> {};

TEST_P(SolverEdges, EmptySeriesFailsWithoutTouchingOutputs) {
    const auto record = Record({}, 0.01);
    double sd = 7, sv = 8, sa = 9;
    EXPECT_FALSE(ComputePeakResponse(*record, false, 980, 0.02, 0.05, 1.0, GetParam(), 0.25, 0.5,
                                     sd, sv, sa));
    EXPECT_EQ(sd, 7);
    EXPECT_EQ(sv, 8);
    EXPECT_EQ(sa, 9);
}

TEST_P(SolverEdges, OneSampleSucceedsWithZeroPeaks) {
    const auto record = Record({0.3}, 0.01);
    double sd = 7, sv = 8, sa = 9;
    EXPECT_TRUE(ComputePeakResponse(*record, false, 980, 0.02, 0.05, 1.0, GetParam(), 0.25, 0.5, sd,
                                    sv, sa));
    EXPECT_EQ(sd, 0);
    EXPECT_EQ(sv, 0);
    EXPECT_EQ(sa, 0);
}

TEST_P(SolverEdges, ZeroGroundMotionGivesZeroResponse) {
    const auto record = Record(std::vector<double>(500, 0.0), 0.01);
    double sd = 7, sv = 8, sa = 9;
    EXPECT_TRUE(ComputePeakResponse(*record, false, 980, 0.02, 0.05, 0.1, GetParam(), 0.25, 0.5, sd,
                                    sv, sa));
    EXPECT_EQ(sd, 0);
    EXPECT_EQ(sv, 0);
    EXPECT_EQ(sa, 0);
}

TEST_P(SolverEdges, UndampedOscillatorIsValid) {
    std::vector<double> samples(300, 0.0);
    samples[1] = 0.2; // one triangular pulse, then free vibration
    const auto record = Record(samples, 0.01);
    double sd = 0, sv = 0, sa = 0;
    ASSERT_TRUE(ComputePeakResponse(*record, false, 980, 0.02, 0.0, 0.3, GetParam(), 0.25, 0.5, sd,
                                    sv, sa));
    EXPECT_TRUE(std::isfinite(sd) && sd > 0);
    EXPECT_TRUE(std::isfinite(sv) && sv > 0);
    EXPECT_TRUE(std::isfinite(sa) && sa > 0);
    // Free vibration without damping: SV = omega SD to within the sub-step sampling.
    EXPECT_NEAR(sv / (CircularFrequency(0.3) * sd), 1.0, 0.01);
}

// The corrected flag selects the series: a corrected record responds like a
// record holding its corrected acceleration, not like its own uncorrected one.
TEST_P(SolverEdges, CorrectedFlagSelectsCorrectedSeries) {
    const std::vector<double> raw = {0.0, 0.1, 0.3, 0.2, -0.1, -0.2, 0.0, 0.05};
    const std::vector<double> corrected = {0.0, 0.08, 0.25, 0.12, -0.2, -0.3, -0.1, -0.05};
    const auto record = Record(raw, 0.01);
    record->GetCorrectedAcceleration() = corrected;
    record->SetCorrected(true);
    const auto plain = Record(corrected, 0.01);
    double a[3], b[3], c[3];
    ASSERT_TRUE(ComputePeakResponse(*record, true, 980, 0.02, 0.05, 0.2, GetParam(), 0.25, 0.5,
                                    a[0], a[1], a[2]));
    ASSERT_TRUE(ComputePeakResponse(*plain, false, 980, 0.02, 0.05, 0.2, GetParam(), 0.25, 0.5,
                                    b[0], b[1], b[2]));
    ASSERT_TRUE(ComputePeakResponse(*record, false, 980, 0.02, 0.05, 0.2, GetParam(), 0.25, 0.5,
                                    c[0], c[1], c[2]));
    for (int q = 0; q < 3; ++q) {
        EXPECT_EQ(a[q], b[q]);
    }
    EXPECT_NE(a[0], c[0]);
}

INSTANTIATE_TEST_SUITE_P(BothMethods, SolverEdges,
                         ::testing::Values(SolverMethod::PiecewiseExact, SolverMethod::Newmark));

// A record that starts at 0.1 g and stays there: the oscillator starts at rest
// all the same, so both methods swing past the static displacement
// -0.1 g / omega² as for a step from zero (Newmark's relative acceleration
// starts at -g x[0], the equilibrium of rest; from 0 it would never move).
class NonzeroFirstSample : public ::testing::TestWithParam<SolverMethod> {};

TEST_P(NonzeroFirstSample, StartsFromRestAndSwingsPastTheStaticDisplacement) {
    const auto record = Record(std::vector<double>(4000, 0.1), 0.01);
    double sd = 0, sv = 0, sa = 0;
    SdofFinalState final;
    ASSERT_TRUE(ComputePeakAndFinalResponse(*record, false, 980, 0.02, 0.05, 1.0, GetParam(), 0.25,
                                            0.5, sd, sv, sa, final));
    EXPECT_NEAR(sd, 4.60, 0.01);
    EXPECT_NEAR(sv, 14.45, 0.01);
    EXPECT_NEAR(sa, 0.186, 0.001);
    EXPECT_NEAR(final.Displacement, -2.482, 0.01);
}

INSTANTIATE_TEST_SUITE_P(BothMethods, NonzeroFirstSample,
                         ::testing::Values(SolverMethod::PiecewiseExact, SolverMethod::Newmark));

// A record far from zero at its first sample (0.3 g, then a decaying wave):
// as the sub-step shrinks, average acceleration converges to the exact
// method's peaks, sampled at the same sub-step end points, with an error of
// the order of the square of the sub-step. (A start out of equilibrium would
// converge to the response of the record less its first sample instead.)
TEST(NonzeroFirstSample, NewmarkConvergesToTheExactPeaksAsTheSubStepShrinks) {
    const double dt = 0.01;
    std::vector<double> samples(800);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = 0.3 * std::cos(0.05 * i) * std::exp(-0.003 * i);
    }
    const auto record = Record(samples, dt);
    for (double period : {0.3, 1.0, 2.5}) {
        double previous[3] = {1, 1, 1};
        for (int n : {2, 8, 32}) {
            // dt / (period * maxDtOverT) = n - 0.5 gives n sub-steps.
            const double maxDtOverT = dt / (period * (n - 0.5));
            ASSERT_EQ(SubStepCount(dt, period, maxDtOverT), n);
            double exact[3], nm[3];
            ASSERT_TRUE(ComputePeakResponse(*record, false, 980, maxDtOverT, 0.05, period,
                                            SolverMethod::PiecewiseExact, 0.25, 0.5, exact[0],
                                            exact[1], exact[2]));
            ASSERT_TRUE(ComputePeakResponse(*record, false, 980, maxDtOverT, 0.05, period,
                                            SolverMethod::Newmark, 0.25, 0.5, nm[0], nm[1], nm[2]));
            for (int q = 0; q < 3; ++q) {
                const double difference = std::fabs(nm[q] / exact[q] - 1);
                EXPECT_LT(difference, previous[q] / 8)
                    << "period " << period << " sub-steps " << n << " peak " << q;
                previous[q] = difference;
            }
        }
        for (int q = 0; q < 3; ++q) {
            EXPECT_LT(previous[q], 1e-5) << "period " << period << " peak " << q;
        }
    }
}

// Average acceleration (beta 1/4, gamma 1/2) and the exact solution converge to
// the same peaks as the sub-step shrinks.
TEST(SolverMethods, AgreeOnAFineSubStepGrid) {
    std::vector<double> samples(600);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = 0.2 * std::sin(0.07 * i) * std::exp(-0.004 * i);
    }
    const auto record = Record(samples, 0.01);
    double pe[3], nm[3];
    ASSERT_TRUE(ComputePeakResponse(*record, false, 980, 0.005, 0.05, 0.8,
                                    SolverMethod::PiecewiseExact, 0.25, 0.5, pe[0], pe[1], pe[2]));
    ASSERT_TRUE(ComputePeakResponse(*record, false, 980, 0.005, 0.05, 0.8, SolverMethod::Newmark,
                                    0.25, 0.5, nm[0], nm[1], nm[2]));
    for (int q = 0; q < 3; ++q) {
        EXPECT_NEAR(nm[q] / pe[q], 1.0, 1e-3) << q;
    }
}

} // namespace
