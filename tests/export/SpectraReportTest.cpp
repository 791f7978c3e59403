#include "export/SpectraReport.h"
#include "record/BaselineCorrection.h"
#include "record/Integration.h"
#include "spectra/CircularFrequency.h"
#include "spectra/DampingAndPeriods.h"
#include "spectra/SdofSolver.h"
#include "spectra/SpectraAnalysis.h"
#include "text/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <stdlib.h>

namespace fs = std::filesystem;

namespace {

const ReportDate kDate{2018, 3, 4};

// 4 s of a damped 2 Hz sine with a small drift, at 0.01 s.
std::unique_ptr<TimeHistory> MakeMotion(const std::string& name = "EQ1.txt") {
    auto record = std::make_unique<TimeHistory>(name, 0.01);
    for (int i = 0; i < 400; ++i) {
        const double t = i * 0.01;
        record->AddAcceleration(0.25 * std::exp(-0.5 * t) * std::sin(6.2831852 * 2 * t) +
                                0.004 * t);
    }
    IntegrateRecord(*record, 980, false);
    record->SetIntegrated(true);
    return record;
}

std::vector<std::string> Fields(std::string_view line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = line.find(',', start);
        fields.emplace_back(line.substr(start, comma - start));
        if (comma == std::string_view::npos) {
            return fields;
        }
        start = comma + 1;
    }
}

struct Grid {
    DOUBLEVECTOR periods;
    DOUBLEVECTOR frequencies;
};

Grid MakeGrid(const AnalysisSettings& settings) {
    Grid grid;
    BuildPeriodGrid(grid.periods, grid.frequencies, settings.MinPeriod, settings.MaxPeriod,
                    settings.PeriodStep);
    return grid;
}

class SpectraReportTest : public ::testing::Test {
protected:
    SpectraEngine engine{2};
};

TEST_F(SpectraReportTest, OneDampingWithDefaultSettingsHas309Lines) {
    auto record = MakeMotion();
    const AnalysisSettings settings;
    const Grid grid = MakeGrid(settings);
    ASSERT_EQ(grid.periods.back(), 5.99999999999996);
    const SpectraReportResult report = BuildSpectraReport(engine, *record, settings, {0.05},
                                                          grid.periods, SoftwareEditionText, kDate);
    ASSERT_FALSE(report.Refusal);
    EXPECT_TRUE(report.Messages.empty());
    ASSERT_EQ(report.Lines.Count(), 309u);
    EXPECT_EQ(report.Lines.Line(5), "Acceleration TimeHistory SourceFile: EQ1.txt");
    EXPECT_EQ(report.Lines.Line(6), "Baseline Correction Type: No Baseline Correction");
    EXPECT_EQ(report.Lines.Line(7), "Period[sec],Disp.Damp.=5%,Vel.Damp.=5%,Acc.Damp.=5%,"
                                    "Pseudo-Vel.Damp.=5%,Pseudo-Acc.Damp.=5%,");
    const std::string peak = FormatFixed(record->PeakAcceleration(), 6);
    EXPECT_EQ(report.Lines.Line(8),
              "0.000000,0.000000,0.000000," + peak + ",0.000000," + peak + ",");
    for (std::size_t i = 9; i < report.Lines.Count(); ++i) {
        const std::vector<std::string> fields = Fields(report.Lines.Line(i));
        ASSERT_EQ(fields.size(), 7u) << report.Lines.Line(i);
        EXPECT_EQ(fields.back(), "");
        EXPECT_EQ(fields[0], FormatFixed(grid.periods[i - 8], 6));
    }
    EXPECT_EQ(report.Lines.Line(308).substr(0, 9), "6.000000,");
    EXPECT_EQ(report.Lines.Line(9).substr(0, 9), "0.020000,");
}

struct HeaderCase {
    DOUBLEVECTOR ratios;
    const char* header;
};

class SpectraHeader : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(SpectraHeader, ListsEveryBlockInDampingOrder) {
    EXPECT_EQ(SpectraColumnHeader(GetParam().ratios), GetParam().header);
}

INSTANTIATE_TEST_SUITE_P(
    Ratios, SpectraHeader,
    ::testing::Values(
        HeaderCase{{0.05, 0.1},
                   "Period[sec],Disp.Damp.=5%,Disp.Damp.=10%,Vel.Damp.=5%,Vel.Damp.=10%,"
                   "Acc.Damp.=5%,Acc.Damp.=10%,Pseudo-Vel.Damp.=5%,Pseudo-Vel.Damp.=10%,"
                   "Pseudo-Acc.Damp.=5%,Pseudo-Acc.Damp.=10%,"},
        HeaderCase{{0.025},
                   "Period[sec],Disp.Damp.=2.5%,Vel.Damp.=2.5%,Acc.Damp.=2.5%,"
                   "Pseudo-Vel.Damp.=2.5%,Pseudo-Acc.Damp.=2.5%,"},
        HeaderCase{{12.3456 / 100},
                   "Period[sec],Disp.Damp.=12.346%,Vel.Damp.=12.346%,"
                   "Acc.Damp.=12.346%,Pseudo-Vel.Damp.=12.346%,"
                   "Pseudo-Acc.Damp.=12.346%,"},
        HeaderCase{{0.0, 0.35},
                   "Period[sec],Disp.Damp.=0%,Disp.Damp.=35%,Vel.Damp.=0%,"
                   "Vel.Damp.=35%,Acc.Damp.=0%,Acc.Damp.=35%,Pseudo-Vel.Damp.=0%,"
                   "Pseudo-Vel.Damp.=35%,Pseudo-Acc.Damp.=0%,Pseudo-Acc.Damp.=35%,"}));

// Every value of a row is the one-oscillator solver's, formatted: the engine
// must not change a digit.
class SpectraRowsMatchTheSolver : public ::testing::TestWithParam<SolverMethod> {};

TEST_P(SpectraRowsMatchTheSolver, ForEveryPeriodAndDamping) {
    SpectraEngine engine(3);
    auto record = MakeMotion();
    ASSERT_EQ(ApplyBaselineCorrection(*record, 980, BaselineCorrection::Linear),
              BaselineOutcome::Recomputed);
    AnalysisSettings settings;
    settings.Method = static_cast<std::int32_t>(GetParam());
    settings.MinPeriod = 0.05;
    settings.MaxPeriod = 3;
    settings.PeriodStep = 0.25;
    settings.Gravity = 981;
    const Grid grid = MakeGrid(settings);
    const DOUBLEVECTOR ratios = {0.0, 0.02, 0.05, 0.3};
    const SpectraReportResult report =
        BuildSpectraReport(engine, *record, settings, ratios, grid.periods, "X", kDate);
    ASSERT_FALSE(report.Refusal);
    ASSERT_EQ(report.Lines.Count(), 8 + grid.periods.size());
    EXPECT_EQ(report.Lines.Line(6), "Baseline Correction Type: Linear");
    const std::size_t n = ratios.size();
    for (std::size_t i = 1; i < grid.periods.size(); ++i) {
        const std::vector<std::string> fields = Fields(report.Lines.Line(8 + i));
        ASSERT_EQ(fields.size(), 1 + 5 * n + 1);
        const double period = grid.periods[i];
        const double omega = CircularFrequency(period);
        for (std::size_t j = 0; j < n; ++j) {
            double sd = -1, sv = -1, sa = -1;
            ASSERT_TRUE(ComputePeakResponse(*record, true, settings.Gravity, settings.MaxDtOverT,
                                            ratios[j], period, GetParam(), settings.NewmarkBeta,
                                            settings.NewmarkGamma, sd, sv, sa));
            EXPECT_EQ(fields[1 + j], FormatFixed(sd, 6));
            EXPECT_EQ(fields[1 + n + j], FormatFixed(sv, 6));
            EXPECT_EQ(fields[1 + 2 * n + j], FormatFixed(sa, 6));
            EXPECT_EQ(fields[1 + 3 * n + j], FormatFixed(omega * sd, 6));
            EXPECT_EQ(fields[1 + 4 * n + j], FormatFixed(omega * omega * sd / 981, 6));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Methods, SpectraRowsMatchTheSolver,
                         ::testing::Values(SolverMethod::PiecewiseExact, SolverMethod::Newmark));

TEST_F(SpectraReportTest, CorrectedRecordShowsTheUncorrectedPeakAtPeriodZero) {
    auto record = MakeMotion();
    ASSERT_EQ(ApplyBaselineCorrection(*record, 980, BaselineCorrection::Parabolic),
              BaselineOutcome::Recomputed);
    double correctedPeak = 0;
    for (double c : record->GetCorrectedAcceleration()) {
        correctedPeak = std::max(correctedPeak, std::fabs(c));
    }
    const std::string peak = FormatFixed(record->PeakAcceleration(), 6);
    ASSERT_NE(FormatFixed(correctedPeak, 6), peak);
    const SpectraReportResult report = BuildSpectraReport(engine, *record, AnalysisSettings{},
                                                          {0.05, 0.1}, {0.0, 0.5, 1.0}, "X", kDate);
    ASSERT_EQ(report.Lines.Count(), 11u);
    EXPECT_EQ(report.Lines.Line(6), "Baseline Correction Type: Parabolic");
    EXPECT_EQ(report.Lines.Line(8), "0.000000,0.000000,0.000000,0.000000,0.000000," + peak + "," +
                                        peak + ",0.000000,0.000000," + peak + "," + peak + ",");
}

TEST_F(SpectraReportTest, RowsWithoutSamplesKeepOnlyTheirPeriod) {
    // A record flagged corrected whose corrected series is missing: every
    // oscillator fails, at the first damping ratio of each period.
    auto record = MakeMotion();
    record->SetCorrected(true);
    const SpectraReportResult report = BuildSpectraReport(
        engine, *record, AnalysisSettings{}, {0.05, 0.1}, {0.0, 0.02, 0.5}, "X", kDate, ',');
    ASSERT_FALSE(report.Refusal);
    ASSERT_EQ(report.Lines.Count(), 11u);
    EXPECT_EQ(report.Lines.Line(9), "0.020000,");
    EXPECT_EQ(report.Lines.Line(10), "0.500000,");
    EXPECT_EQ(report.Messages,
              (std::vector<std::string>{"Error calculation : DampingRatio: 0,05  Period :0,02",
                                        "Error calculation : DampingRatio: 0,05  Period :0,5"}));
    EXPECT_EQ(SpectraReportFailureMessage(0.05, 5.99999999999996),
              "Error calculation : DampingRatio: 0.05  Period :5.99999999999996");
}

TEST_F(SpectraReportTest, RefusesWhatTheAnalysisRefuses) {
    auto record = MakeMotion();
    AnalysisSettings newmark;
    newmark.Method = static_cast<std::int32_t>(SolverMethod::Newmark);
    newmark.NewmarkBeta = 0;
    const SpectraReportResult report =
        BuildSpectraReport(engine, *record, newmark, {0.05}, {0.0, 0.5}, "X", kDate);
    EXPECT_EQ(report.Refusal, CheckSpectraInputs(newmark, {0.05}));
    EXPECT_TRUE(report.Lines.Empty());
}

class SpectraExportFolder : public SpectraReportTest {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "vorsen-rs-XXXXXX").string();
        folder = ::mkdtemp(pattern.data());
    }
    void TearDown() override { fs::remove_all(folder); }
    std::string folder;
};

TEST_F(SpectraExportFolder, WritesTheReportOrTheReason) {
    auto record = MakeMotion("elcentro.txt");
    const AnalysisSettings settings;
    const DOUBLEVECTOR periods = {0.0, 0.1, 1.0};
    const SpectraExportResult written =
        ExportSpectraReport(engine, *record, settings, {0.05}, periods, "X", kDate, folder);
    EXPECT_EQ(written.Error, std::nullopt);
    EXPECT_TRUE(written.Messages.empty());
    std::ifstream in(folder + "/elcentro_RS.csv", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(
        bytes,
        BuildSpectraReport(engine, *record, settings, {0.05}, periods, "X", kDate).Lines.Text());

    const SpectraExportResult failed = ExportSpectraReport(engine, *record, settings, {0.05},
                                                           periods, "X", kDate, folder + "/none");
    EXPECT_EQ(failed.Error, "Cannot create file \"" + folder +
                                "/none/elcentro_RS.csv\". No such file or directory");

    AnalysisSettings newmark;
    newmark.Method = 1;
    newmark.NewmarkBeta = 0;
    fs::remove(folder + "/elcentro_RS.csv");
    const SpectraExportResult refused =
        ExportSpectraReport(engine, *record, newmark, {0.05}, periods, "X", kDate, folder);
    EXPECT_EQ(refused.Error, CheckSpectraInputs(newmark, {0.05}));
    EXPECT_FALSE(fs::exists(folder + "/elcentro_RS.csv"));
}

} // namespace
