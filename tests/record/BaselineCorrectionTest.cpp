#include "record/BaselineCorrection.h"
#include "record/Integration.h"
#include "record/Timeserie.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

// A damped sine with a drifting baseline and a little deterministic noise, the
// kind of record a correction is meant for.
struct MotionShape {
    const char* label;
    int count;
    double dt;        // s
    double frequency; // Hz
    double drift;     // g per second
    double offset;    // g
    double gravity;   // cm/s²
};

std::unique_ptr<TimeHistory> MakeMotion(const MotionShape& shape) {
    auto record = std::make_unique<TimeHistory>(std::string(shape.label) + ".txt", shape.dt);
    std::uint32_t seed = 12345;
    for (int i = 0; i < shape.count; ++i) {
        const double t = i * shape.dt;
        seed = seed * 1664525u + 1013904223u;
        const double noise = (static_cast<double>(seed >> 8) / 16777216.0 - 0.5) * 0.002;
        record->AddAcceleration(0.3 * std::exp(-0.4 * t) *
                                    std::sin(6.2831852 * shape.frequency * t) +
                                shape.offset + shape.drift * t + noise);
    }
    IntegrateRecord(*record, shape.gravity, false);
    record->SetIntegrated(true);
    return record;
}

double MaxAbs(const std::vector<double>& series) {
    double m = 0.0;
    for (double v : series) {
        m = std::max(m, std::fabs(v));
    }
    return m;
}

// Trapezoid integral over the samples of f(t) * series[i].
template <typename Weight>
double Moment(const std::vector<double>& series, double dt, Weight weight) {
    double sum = 0.0;
    for (std::size_t i = 0; i < series.size(); ++i) {
        const double t = static_cast<double>(i) * dt;
        const double w = (i == 0 || i + 1 == series.size()) ? 0.5 : 1.0;
        sum += w * weight(t) * series[i];
    }
    return sum * dt;
}

// Long records: the fits are continuous least-squares fits, which the sampled
// checks below see to within (dt/T)².
const MotionShape kShapes[] = {
    {"drifting", 2001, 0.01, 1.5, 0.002, 0.01, 980},
    {"offset", 1500, 0.02, 0.7, 0.0, -0.02, 980},
    {"otherGravity", 3000, 0.005, 3.0, -0.001, 0.003, 1000},
};
const MotionShape kShortShapes[] = {
    {"short", 12, 0.005, 20.0, 0.05, 0.0, 981},
    {"twoSamples", 2, 0.01, 1.0, 0.0, 0.1, 980},
};

class LinearCorrectionOfMotion : public ::testing::TestWithParam<MotionShape> {};

TEST_P(LinearCorrectionOfMotion, EndsAtRestAndKeepsThePeak) {
    const MotionShape& shape = GetParam();
    auto record = MakeMotion(shape);
    ASSERT_TRUE(CorrectBaseline(*record, shape.gravity, BaselineCorrection::Linear));
    const std::vector<double>& c = record->GetCorrectedAcceleration();
    ASSERT_EQ(c.size(), static_cast<std::size_t>(record->Count()));
    EXPECT_DOUBLE_EQ(MaxAbs(c), record->PeakAcceleration());

    IntegrateRecord(*record, shape.gravity, true);
    const std::vector<double>& v = record->GetCorrectedVelocity();
    // Relative to the largest velocity the corrected acceleration could build.
    const double scale =
        record->PeakAcceleration() * shape.gravity * (record->Count() - 1) * shape.dt;
    EXPECT_NEAR(v.back(), 0.0, 1e-12 * scale);
}

class CorrectionOfMotion : public ::testing::TestWithParam<MotionShape> {};

// Sum of the squared displacement integrated from `corrected` (g).
double SquaredDisplacement(const TimeHistory& like, const std::vector<double>& corrected,
                           double gravity) {
    TimeHistory copy(like.GetName(), like.GetDt());
    for (double a : like.GetAcceleration()) {
        copy.AddAcceleration(a);
    }
    copy.GetCorrectedAcceleration() = corrected;
    IntegrateRecord(copy, gravity, true);
    double sum = 0.0;
    for (double d : copy.GetCorrectedDisplacement()) {
        sum += d * d;
    }
    return sum;
}

TEST_P(CorrectionOfMotion, LinearMinimisesTheSquaredCorrectedDisplacement) {
    // Tilting the corrected acceleration by a line through (T/2, 0) keeps the
    // end velocity at zero; every such tilt must increase the squared
    // displacement, in both directions.
    const MotionShape& shape = GetParam();
    auto record = MakeMotion(shape);
    ASSERT_TRUE(CorrectBaseline(*record, shape.gravity, BaselineCorrection::Linear));
    const std::vector<double> c = record->GetCorrectedAcceleration();
    const double duration = (record->Count() - 1) * shape.dt;
    std::vector<double> tilt(c.size());
    for (std::size_t i = 0; i < c.size(); ++i) {
        tilt[i] = (static_cast<double>(i) * shape.dt - 0.5 * duration) / duration;
    }
    const double best = SquaredDisplacement(*record, c, shape.gravity);
    const double tiltOnly = SquaredDisplacement(*record, tilt, shape.gravity);
    ASSERT_GT(tiltOnly, 0.0);
    const double epsilon = 0.05 * std::sqrt(best / tiltOnly); // a 5 % change
    for (double sign : {-1.0, 1.0}) {
        std::vector<double> tilted = c;
        for (std::size_t i = 0; i < c.size(); ++i) {
            tilted[i] += sign * epsilon * tilt[i];
        }
        EXPECT_GT(SquaredDisplacement(*record, tilted, shape.gravity), best) << "sign " << sign;
    }
}

TEST_P(CorrectionOfMotion, ParabolicVelocityIsOrthogonalToTheFittedPowers) {
    // The corrected velocity is the residual of a least-squares fit by
    // c0 t + c1 t²/2 + c2 t³/3, so it has no component along t, t² and t³.
    const MotionShape& shape = GetParam();
    auto record = MakeMotion(shape);
    ASSERT_TRUE(CorrectBaseline(*record, shape.gravity, BaselineCorrection::Parabolic));
    IntegrateRecord(*record, shape.gravity, true);
    const std::vector<double>& vc = record->GetCorrectedVelocity();
    const std::vector<double>& v = record->GetVelocity();
    for (int power = 1; power <= 3; ++power) {
        auto tp = [power](double t) { return std::pow(t, power); };
        std::vector<double> absV;
        for (double x : v) {
            absV.push_back(std::fabs(x));
        }
        const double scale = Moment(absV, shape.dt, tp);
        EXPECT_LT(std::fabs(Moment(vc, shape.dt, tp)), 1e-5 * scale) << "power " << power;
    }
}

INSTANTIATE_TEST_SUITE_P(Long, LinearCorrectionOfMotion, ::testing::ValuesIn(kShapes),
                         [](const auto& info) { return std::string(info.param.label); });
INSTANTIATE_TEST_SUITE_P(Short, LinearCorrectionOfMotion, ::testing::ValuesIn(kShortShapes),
                         [](const auto& info) { return std::string(info.param.label); });
INSTANTIATE_TEST_SUITE_P(Long, CorrectionOfMotion, ::testing::ValuesIn(kShapes),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(ParabolicCorrection, RemovesALinearDriftWithoutRescaling) {
    // Acceleration linear in time has a quadratic velocity, which the fit
    // reproduces; what is left is rounding and the decimal constants. A
    // rescaled result would be blown up to the 0.03 g peak.
    TimeHistory record("drift.txt", 0.01);
    for (int i = 0; i < 1001; ++i) {
        record.AddAcceleration(0.01 + 0.002 * (i * 0.01));
    }
    ASSERT_TRUE(CorrectBaseline(record, 980, BaselineCorrection::Parabolic));
    EXPECT_LT(MaxAbs(record.GetCorrectedAcceleration()), 1e-6);
    EXPECT_DOUBLE_EQ(record.PeakAcceleration(), 0.03);
}

TEST(ParabolicCorrection, KeepsTheAmplitudeOfTheCorrectedSeries) {
    auto record = MakeMotion(kShapes[0]);
    ASSERT_TRUE(CorrectBaseline(*record, 980, BaselineCorrection::Parabolic));
    const double peak = MaxAbs(record->GetCorrectedAcceleration());
    EXPECT_GT(std::fabs(peak - record->PeakAcceleration()), 1e-4);
}

TEST(LinearCorrection, IntegratesAnUnintegratedRecordFirst) {
    auto integrated = MakeMotion(kShapes[0]);
    TimeHistory fresh("drifting.txt", kShapes[0].dt);
    for (double a : integrated->GetAcceleration()) {
        fresh.AddAcceleration(a);
    }
    fresh.GetVelocity() = {1.0, 2.0}; // stale leftovers must not feed the fit
    ASSERT_TRUE(CorrectBaseline(fresh, 980, BaselineCorrection::Linear));
    ASSERT_TRUE(CorrectBaseline(*integrated, 980, BaselineCorrection::Linear));
    EXPECT_EQ(fresh.GetCorrectedAcceleration(), integrated->GetCorrectedAcceleration());
    EXPECT_EQ(fresh.GetVelocity(), integrated->GetVelocity());
}

TEST(LinearCorrection, UsesTheCurrentGravityWithTheStoredVelocity) {
    // The stored velocity keeps the g of the import; the acceleration terms use
    // the g of the command, so a later g changes the fit.
    auto record = MakeMotion(kShapes[0]);
    const std::vector<double> velocity = record->GetVelocity();
    ASSERT_TRUE(CorrectBaseline(*record, 980, BaselineCorrection::Linear));
    const std::vector<double> at980 = record->GetCorrectedAcceleration();
    ASSERT_TRUE(CorrectBaseline(*record, 981, BaselineCorrection::Linear));
    EXPECT_NE(record->GetCorrectedAcceleration(), at980);
    EXPECT_EQ(record->GetVelocity(), velocity);
}

// The arithmetic is the program's own (time by repeated addition, decimal
// constants, trapezoid sum in order). These bits were checked against a
// separate line-by-line transcription of the fits; they guard against a
// rewrite that changes the last digits of the reports.
TEST(CorrectionBits, SmallRecordGivesTheKnownSamples) {
    TimeHistory record("bits.txt", 0.02);
    for (double a : {0.0, 0.1, -0.05, 0.2, 0.15, -0.1}) {
        record.AddAcceleration(a);
    }
    IntegrateRecord(record, 980, false);
    record.SetIntegrated(true);
    ASSERT_TRUE(CorrectBaseline(record, 980, BaselineCorrection::Linear));
    const std::vector<double> linear = record.GetCorrectedAcceleration();
    ASSERT_TRUE(CorrectBaseline(record, 980, BaselineCorrection::Parabolic));
    const std::vector<double> parabolic = record.GetCorrectedAcceleration();
    const std::vector<double> expectedLinear = {-0x1.3bfd5fc6540e9p-5, 0x1.8cb91b966be73p-5,
                                                -0x1.cf3181130b2e9p-4, 0x1.f7e8ea894f10fp-4,
                                                0x1.f309f493698e8p-5,  -0x1.999999999999ap-3};
    const std::vector<double> expectedParabolic = {-0x1.4727de1387507p-7, 0x1.cd7a71b5d5ad3p-5,
                                                   -0x1.fc6a49374b5c5p-4, 0x1.940ae46d52e39p-4,
                                                   0x1.93a63a56498cfp-6,  -0x1.f81a589279a1fp-3};
    EXPECT_EQ(linear, expectedLinear);
    EXPECT_EQ(parabolic, expectedParabolic);
}

// ---- failures leave the record as it was ----

struct FailureCase {
    const char* label;
    std::vector<double> samples;
    double dt;
    BaselineCorrection method;
};

class RefusedCorrection : public ::testing::TestWithParam<FailureCase> {};

TEST_P(RefusedCorrection, LeavesTheRecordUntouched) {
    const FailureCase& c = GetParam();
    TimeHistory record("bad.txt", c.dt);
    for (double a : c.samples) {
        record.AddAcceleration(a);
    }
    IntegrateRecord(record, 980, false);
    record.SetIntegrated(true);
    // Leftovers of an earlier correction, which a refused one must not disturb.
    const std::vector<double> oldCorrected(record.Count(), 0.125);
    record.GetCorrectedAcceleration() = oldCorrected;
    const std::vector<double> velocity = record.GetVelocity();
    const std::vector<double> displacement = record.GetDisplacement();

    EXPECT_FALSE(CorrectBaseline(record, 980, c.method));
    EXPECT_EQ(record.GetCorrectedAcceleration(), oldCorrected);
    EXPECT_EQ(record.GetVelocity(), velocity);
    EXPECT_EQ(record.GetDisplacement(), displacement);
    EXPECT_FALSE(record.IsCorrected());

    EXPECT_EQ(ApplyBaselineCorrection(record, 980, c.method), BaselineOutcome::Failed);
    EXPECT_FALSE(record.IsCorrected());
    EXPECT_EQ(record.GetCorrectionType(), 0);
    EXPECT_EQ(record.GetCorrectedAcceleration(), oldCorrected);
    EXPECT_TRUE(record.GetCorrectedVelocity().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedCorrection,
    ::testing::Values(
        FailureCase{"oneSampleLinear", {0.3}, 0.01, BaselineCorrection::Linear},
        FailureCase{"oneSampleParabolic", {0.3}, 0.01, BaselineCorrection::Parabolic},
        FailureCase{"allZeroLinear", {0, 0, 0, 0, 0}, 0.01, BaselineCorrection::Linear},
        FailureCase{"zeroTimeStep", {0.1, 0.2, 0.3}, 0.0, BaselineCorrection::Linear},
        FailureCase{"zeroTimeStepParabolic", {0.1, 0.2, 0.3}, 0.0, BaselineCorrection::Parabolic},
        FailureCase{"overflowParabolic",
                    {1e306, -1e306, 1e306, -1e306},
                    0.01,
                    BaselineCorrection::Parabolic},
        FailureCase{"tinyStepLinear", {0.1, -0.2, 0.3, 0.1}, 1e-70, BaselineCorrection::Linear}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(RefusedCorrection, PutsBackTheSeriesOfAnUnintegratedRecord) {
    TimeHistory record("zeros.txt", 0.01);
    for (int i = 0; i < 4; ++i) {
        record.AddAcceleration(0.0);
    }
    record.GetVelocity() = {7.0};
    record.GetDisplacement() = {8.0, 9.0};
    EXPECT_FALSE(CorrectBaseline(record, 980, BaselineCorrection::Linear));
    EXPECT_EQ(record.GetVelocity(), std::vector<double>{7.0});
    EXPECT_EQ(record.GetDisplacement(), (std::vector<double>{8.0, 9.0}));
    EXPECT_FALSE(record.IsIntegrated());
}

TEST(ParabolicCorrection, OfAnAllZeroRecordIsZero) {
    TimeHistory record("zeros.txt", 0.01);
    for (int i = 0; i < 4; ++i) {
        record.AddAcceleration(0.0);
    }
    ASSERT_TRUE(CorrectBaseline(record, 980, BaselineCorrection::Parabolic));
    EXPECT_EQ(record.GetCorrectedAcceleration(), std::vector<double>(4, 0.0));
}

// ---- the command's state table ----

enum class Start { Uncorrected, ByLinear, ByParabolic };

struct StateCase {
    const char* label;
    Start start;
    BaselineCorrection choice;
    BaselineOutcome outcome;
    bool corrected; // afterwards
    int type;       // CorrectionType afterwards
};

class BaselineStateTable : public ::testing::TestWithParam<StateCase> {};

TEST_P(BaselineStateTable, FollowsTheTable) {
    const StateCase& c = GetParam();
    auto record = MakeMotion(kShapes[0]);
    if (c.start == Start::ByLinear) {
        ASSERT_EQ(ApplyBaselineCorrection(*record, 980, BaselineCorrection::Linear),
                  BaselineOutcome::Recomputed);
    } else if (c.start == Start::ByParabolic) {
        ASSERT_EQ(ApplyBaselineCorrection(*record, 980, BaselineCorrection::Parabolic),
                  BaselineOutcome::Recomputed);
    }
    const std::vector<double> before = record->GetCorrectedAcceleration();
    const std::vector<double> beforeVelocity = record->GetCorrectedVelocity();

    // A changed gravity must not make an unchanged state recompute.
    EXPECT_EQ(ApplyBaselineCorrection(*record, 990, c.choice), c.outcome);
    EXPECT_EQ(record->IsCorrected(), c.corrected);
    EXPECT_EQ(record->GetCorrectionType(), c.type);
    EXPECT_TRUE(record->IsIntegrated());

    const std::size_t n = static_cast<std::size_t>(record->Count());
    if (c.outcome == BaselineOutcome::Unchanged) {
        EXPECT_EQ(record->GetCorrectedAcceleration(), before);
        EXPECT_EQ(record->GetCorrectedVelocity(), beforeVelocity);
    } else if (c.outcome == BaselineOutcome::Cleared) {
        EXPECT_TRUE(record->GetCorrectedAcceleration().empty());
        EXPECT_TRUE(record->GetCorrectedVelocity().empty());
        EXPECT_TRUE(record->GetCorrectedDisplacement().empty());
    } else {
        // All three corrected series are those of a fresh correction at g = 990.
        auto fresh = MakeMotion(kShapes[0]);
        ASSERT_TRUE(CorrectBaseline(*fresh, 990, c.choice));
        IntegrateRecord(*fresh, 990, true);
        EXPECT_EQ(record->GetCorrectedAcceleration(), fresh->GetCorrectedAcceleration());
        EXPECT_EQ(record->GetCorrectedVelocity(), fresh->GetCorrectedVelocity());
        EXPECT_EQ(record->GetCorrectedDisplacement(), fresh->GetCorrectedDisplacement());
        EXPECT_EQ(record->GetCorrectedVelocity().size(), n);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Transitions, BaselineStateTable,
    ::testing::Values(StateCase{"uncorrectedLinear", Start::Uncorrected, BaselineCorrection::Linear,
                                BaselineOutcome::Recomputed, true, 0},
                      StateCase{"uncorrectedParabolic", Start::Uncorrected,
                                BaselineCorrection::Parabolic, BaselineOutcome::Recomputed, true,
                                1},
                      StateCase{"uncorrectedNone", Start::Uncorrected, BaselineCorrection::None,
                                BaselineOutcome::Unchanged, false, 0},
                      StateCase{"linearAgain", Start::ByLinear, BaselineCorrection::Linear,
                                BaselineOutcome::Unchanged, true, 0},
                      StateCase{"linearToParabolic", Start::ByLinear, BaselineCorrection::Parabolic,
                                BaselineOutcome::Recomputed, true, 1},
                      StateCase{"linearNone", Start::ByLinear, BaselineCorrection::None,
                                BaselineOutcome::Cleared, false, 0},
                      StateCase{"parabolicAgain", Start::ByParabolic, BaselineCorrection::Parabolic,
                                BaselineOutcome::Unchanged, true, 1},
                      StateCase{"parabolicToLinear", Start::ByParabolic, BaselineCorrection::Linear,
                                BaselineOutcome::Recomputed, true, 0},
                      StateCase{"parabolicNone", Start::ByParabolic, BaselineCorrection::None,
                                BaselineOutcome::Cleared, false, 1}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(BaselineStateTable, AnEmptyRecordIsLeftAlone) {
    TimeHistory record("empty.txt", 0.01);
    EXPECT_EQ(ApplyBaselineCorrection(record, 980, BaselineCorrection::Linear),
              BaselineOutcome::NoSamples);
    EXPECT_FALSE(record.IsCorrected());
}

TEST(BaselineStateTable, ParabolicOnAnUnintegratedRecordIntegratesIt) {
    TimeHistory record("raw.txt", 0.01);
    for (double a : {0.1, -0.2, 0.05, 0.3}) {
        record.AddAcceleration(a);
    }
    ASSERT_EQ(ApplyBaselineCorrection(record, 980, BaselineCorrection::Parabolic),
              BaselineOutcome::Recomputed);
    EXPECT_TRUE(record.IsIntegrated());
    EXPECT_EQ(record.GetVelocity().size(), 4u);
    EXPECT_EQ(record.GetDisplacement().size(), 4u);
}

} // namespace
