// libFuzzer target: arbitrary bytes through the record readers (the format
// detected from the content: a standard format's reader, else the Free Type
// reader with the trailer's layout) and, when a record results, through integration, both baseline
// corrections, one oscillator (the one-oscillator solver and the spectra engine) and both reports.
//
// Input layout: the file's bytes, then a trailer of TrailerSize bytes that holds
// the import parameters and the oscillator (see Trailer below). An input shorter
// than the trailer is a file read with the default parameters. Seeds are made by
// fuzz/make_corpus.py in that layout.
//
// Besides the sanitizers, the target aborts when a promise of the core is
// broken: a record that does not hold one sample per data line, a correction
// that reports success with values that are not finite, a correction that
// fails but changes the record, an engine result that differs from the solver's
// bits, a spectrum or report that holds an infinity or NaN instead of being
// refused with a message.
#include "export/ReportHeader.h"
#include "export/SpectraReport.h"
#include "export/TimeHistoryReport.h"
#include "import/FreeFormatReader.h"
#include "import/RecordImport.h"
#include "record/BaselineCorrection.h"
#include "record/Integration.h"
#include "spectra/AnalysisSettings.h"
#include "spectra/SdofSolver.h"
#include "spectra/SpectraAnalysis.h"
#include "spectra/SpectraEngine.h"

#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::size_t TrailerSize = 16;

// Sub-steps one oscillator may integrate per input ((N - 1) x n), so that every
// input runs in milliseconds; larger ones skip the oscillator (its cost grows
// with the record and the sub-step count, not with anything the reader does).
constexpr std::int64_t MaxSubSteps = 1 << 16;

// Samples up to which the time-history report is built and scanned.
constexpr std::int32_t MaxReportSamples = 1000;

[[noreturn]] void Broken(const char* promise) {
    std::fprintf(stderr, "broken promise: %s\n", promise);
    std::abort();
}

void Expect(bool condition, const char* promise) {
    if (!condition) {
        Broken(promise);
    }
}

template <std::size_t N> double Pick(const double (&table)[N], std::uint8_t selector) {
    return table[selector % N];
}

// A value from a table, or - for selectors from 0xC0 - any finite magnitude
// from the subnormals to the largest doubles: (1 + m / 256) x 2^(e x 2098 / 255 - 1075),
// negative for odd selectors.
template <std::size_t N>
double PickWide(const double (&table)[N], std::uint8_t selector, std::uint8_t m, std::uint8_t e) {
    if (selector < 0xC0) {
        return Pick(table, selector);
    }
    const int exponent = e * 2098 / 255 - 1075;
    const double magnitude = std::ldexp(1.0 + m / 256.0, exponent);
    return (selector & 1) ? -magnitude : magnitude;
}

// Values a user can type and validation lets through, the usual ones first.
constexpr double ScalingFactors[] = {1,     2,    -1,     0,     0.001, 1000,   9.81,   -0.5,
                                     1e-10, 1e10, 1e-300, 1e300, 1e154, 1e-154, 5e-324, 1.7e308};
constexpr double TimeSteps[] = {0.01, 0.02, 0.005, 0.001, 0,      -0.01, 1e-12, 1e-300,
                                1,    10,   100,   1e300, 5e-324, 0.1,   0.05,  -1e300};
constexpr double DampingRatios[] = {0.05,  0,     0.02, 0.1,  0.2,       0.5,   0.9, 0.999999,
                                    -0.01, -0.05, -0.5, -0.9, -0.999999, 1e-12, -1,  -1.5};
constexpr double Periods[] = {0.02, 0.05, 0.1,  0.2,  0.5,  1, 2,   6,
                              10,   100,  1e-3, 1e-6, 0.03, 3, 1e3, 1e-9};
constexpr double MaxDtOverTs[] = {0.02, 0.01, 0.05, 0.1, 0.5, 1, 2, 1e-3, 1e-4, 10, 100, 1e6};
constexpr double Betas[] = {0.25, 1.0 / 6, 0.5, 1e-3, 1e-8, 1e-300, -0.25, -1e-8, 1, 10, 1e300, 0};
constexpr double Gammas[] = {0.5, 0.6, 0, -0.5, -1e-8, 1, 2, 1e-300, 100, -100};
constexpr double Gravities[] = {980, 981, 9.81, 1, 1e-3, 1e-300, 1e6, 1e300};

// The trailer, read from its first byte on:
//   0       flags: 1 space delimiter, 2 decimal comma, 4 Newmark, 8 parabolic first,
//           16 no reports (a report reserves a megabyte, which under the address
//           sanitizer costs more than everything else an input does)
//   1       acceleration column 1 + b % 100
//   2       lines to skip b % 101
//   3..5    scaling factor (selector, mantissa, exponent)
//   6..8    time step (selector, mantissa, exponent)
//   9..14   damping ratio, period, MaxDtOverT, beta, gamma, gravity (selectors)
//   15      unused
struct Trailer {
    FreeTypeParameters Import;
    char DecimalSeparator = '.';
    bool ParabolicFirst = false;
    bool Reports = true;
    AnalysisSettings Settings;
    double DampingRatio = 0.05;
    double Period = 1;
};

Trailer ReadTrailer(const std::uint8_t* t) {
    Trailer trailer;
    const std::uint8_t flags = t[0];
    trailer.Import.Delimiter = (flags & 1) ? FieldDelimiter::Space : FieldDelimiter::Comma;
    trailer.DecimalSeparator = (flags & 2) ? ',' : '.';
    trailer.Settings.Method = (flags & 4) ? 1 : 0;
    trailer.ParabolicFirst = (flags & 8) != 0;
    trailer.Reports = (flags & 16) == 0;
    trailer.Import.AccelerationColumn = 1 + t[1] % 100;
    trailer.Import.LinesToSkip = t[2] % 101;
    trailer.Import.ScalingFactor = PickWide(ScalingFactors, t[3], t[4], t[5]);
    trailer.Import.TimeStep = PickWide(TimeSteps, t[6], t[7], t[8]);
    trailer.DampingRatio = Pick(DampingRatios, t[9]);
    trailer.Period = Pick(Periods, t[10]);
    trailer.Settings.MaxDtOverT = Pick(MaxDtOverTs, t[11]);
    trailer.Settings.NewmarkBeta = Pick(Betas, t[12]);
    trailer.Settings.NewmarkGamma = Pick(Gammas, t[13]);
    trailer.Settings.Gravity = Pick(Gravities, t[14]);
    return trailer;
}

bool HoldsNonFiniteText(std::string_view text) {
    return text.find("NAN") != std::string_view::npos ||
           text.find("INF") != std::string_view::npos ||
           text.find("nan") != std::string_view::npos || text.find("inf") != std::string_view::npos;
}

bool LinesHoldNonFiniteText(const ReportLines& lines) {
    for (const std::string& block : lines.Blocks()) {
        if (HoldsNonFiniteText(block)) {
            return true;
        }
    }
    return false;
}

SpectraEngine& Engine() {
    static SpectraEngine engine(1);
    return engine;
}

void CheckReader(const std::vector<std::string>& lines, const Trailer& trailer,
                 const ReadOutcome& outcome) {
    const std::string prefix = "FILE: record.txt";
    if (outcome.Record) {
        Expect(outcome.Warning.empty(), "a record comes without a warning");
        // The data lines: after the header, up to the blank lines that end the file.
        const std::size_t skipped = static_cast<std::size_t>(trailer.Import.LinesToSkip);
        const std::size_t end = DataLinesEnd(lines, skipped);
        Expect(end > skipped && static_cast<std::size_t>(outcome.Record->Count()) == end - skipped,
               "a record holds one sample per data line");
        Expect(outcome.Record->GetDt() == trailer.Import.TimeStep ||
                   (std::isnan(outcome.Record->GetDt()) && std::isnan(trailer.Import.TimeStep)),
               "a record keeps the import's time step");
    } else {
        Expect(outcome.Warning.compare(0, prefix.size(), prefix) == 0,
               "a refused file names itself in its warning");
    }
}

// The correction command's promises on one record.
void CheckCorrection(TimeHistory& record, double gravity, BaselineCorrection method) {
    const bool wasCorrected = record.IsCorrected();
    const std::int32_t oldType = record.GetCorrectionType();
    const DOUBLEVECTOR oldCorrected = record.GetCorrectedAcceleration();
    const BaselineOutcome outcome = ApplyBaselineCorrection(record, gravity, method);
    const std::size_t n = static_cast<std::size_t>(record.Count());
    switch (outcome) {
    case BaselineOutcome::Recomputed: {
        Expect(record.IsCorrected() && record.IsIntegrated() &&
                   record.GetCorrectionType() == static_cast<std::int32_t>(method),
               "a recomputed record is flagged corrected by its method");
        Expect(record.GetCorrectedAcceleration().size() == n &&
                   record.GetCorrectedVelocity().size() == n &&
                   record.GetCorrectedDisplacement().size() == n,
               "the corrected series hold one value per sample");
        Expect(AllFinite(record.GetCorrectedAcceleration()) &&
                   AllFinite(record.GetCorrectedVelocity()) &&
                   AllFinite(record.GetCorrectedDisplacement()),
               "a successful correction holds finite values only");
        if (method == BaselineCorrection::Linear) {
            double largest = 0;
            for (const double value : record.GetCorrectedAcceleration()) {
                largest = std::fmax(largest, std::fabs(value));
            }
            const double peak = record.PeakAcceleration();
            Expect(std::fabs(largest - peak) <= 1e-12 * peak + 1e-300,
                   "a linear correction keeps the uncorrected peak");
        }
        break;
    }
    case BaselineOutcome::Failed:
        Expect(record.IsCorrected() == wasCorrected && record.GetCorrectionType() == oldType,
               "a failed correction leaves the flags alone");
        Expect(record.GetCorrectedAcceleration().size() == oldCorrected.size() &&
                   std::equal(oldCorrected.begin(), oldCorrected.end(),
                              record.GetCorrectedAcceleration().begin(),
                              [](double a, double b) {
                                  return std::bit_cast<std::uint64_t>(a) ==
                                         std::bit_cast<std::uint64_t>(b);
                              }),
               "a failed correction leaves the corrected series alone");
        break;
    case BaselineOutcome::Unchanged:
        Expect(wasCorrected && oldType == static_cast<std::int32_t>(method),
               "only a record corrected by the same method is left unchanged");
        break;
    case BaselineOutcome::Cleared:
    case BaselineOutcome::NoSamples:
        Broken("a correction by a method neither clears nor finds no samples");
    }
}

bool SameBits(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

void CheckOscillator(const TimeHistory& record, const Trailer& trailer) {
    const AnalysisSettings& settings = trailer.Settings;
    const double xi = trailer.DampingRatio;
    const double period = trailer.Period;
    const bool corrected = record.IsCorrected();
    const DOUBLEVECTOR& series = record.GetAccelerationSeries(corrected);
    // Every oscillator integrated below: this period and twice it.
    const int n = SubStepCount(record.GetDt(), period, settings.MaxDtOverT);
    const int n2 = SubStepCount(record.GetDt(), period * 2, settings.MaxDtOverT);
    if (static_cast<std::int64_t>(series.size() - 1) * (std::int64_t{n} + n2) > MaxSubSteps) {
        return;
    }
    if (CheckSpectraInputs(settings, DOUBLEVECTOR{xi})) {
        return; // refused before anything is computed, as the analysis does
    }

    // The engine on this oscillator and one of another sub-step count gives
    // the one-oscillator solver's bits for every oscillator whose state stays
    // finite, and NaN in all three peaks for one it gives up.
    const DOUBLEVECTOR ratios{xi};
    const DOUBLEVECTOR periods{0.0, period, period * 2};
    const SpectraInput input = MakeSpectraInput(record, settings);
    std::vector<std::vector<PeakResponse>> peaks;
    Expect(Engine().Compute(input, ratios, periods, peaks), "the engine runs on a record");
    for (std::size_t i = 1; i < periods.size(); ++i) {
        double SD = -1, SV = -1, SA = -1;
        const bool solved =
            ComputePeakResponse(record, corrected, settings.Gravity, settings.MaxDtOverT, xi,
                                periods[i], static_cast<SolverMethod>(settings.Method),
                                settings.NewmarkBeta, settings.NewmarkGamma, SD, SV, SA);
        Expect(solved == (SubStepCount(record.GetDt(), periods[i], settings.MaxDtOverT) > 0),
               "the solver integrates every oscillator that has a sub-step count");
        const PeakResponse& p = peaks[0][i];
        if (std::isnan(p.SD) || std::isnan(p.SV) || std::isnan(p.SA)) {
            Expect(std::isnan(p.SD) && std::isnan(p.SV) && std::isnan(p.SA),
                   "an oscillator the engine gives up is NaN in all three peaks");
        } else {
            Expect(solved && SameBits(p.SD, SD) && SameBits(p.SV, SV) && SameBits(p.SA, SA),
                   "the engine gives the solver's bits");
        }
    }

    // The analysis of that grid: finite curves or a refusal, never a silent
    // infinity.
    SpectraCurves curves;
    const SpectraOutcome outcome =
        ComputeSpectraCurves(Engine(), record, settings, ratios, periods, curves);
    if (outcome.Refusal) {
        Expect(!outcome.Refusal->empty() && curves.SD.empty(),
               "a refused analysis says why and keeps no curve");
    } else {
        for (const auto* table : {&curves.SD, &curves.SV, &curves.PSV, &curves.SA, &curves.PSA}) {
            for (const DOUBLEVECTOR& curve : *table) {
                Expect(curve.size() == periods.size(), "a curve holds one value per period");
                Expect(AllFinite(curve), "an accepted spectrum holds finite values only");
            }
        }
    }
    if (!trailer.Reports) {
        return;
    }
    const SpectraReportResult report =
        BuildSpectraReport(Engine(), record, settings, ratios, periods, SoftwareEditionText, {});
    Expect(report.Refusal.has_value() == outcome.Refusal.has_value(),
           "the spectra report refuses exactly what the analysis refuses");
    if (!report.Refusal) {
        Expect(!LinesHoldNonFiniteText(report.Lines), "a spectra report holds finite numbers only");
    }
}

void CheckTimeHistoryReport(const TimeHistory& record) {
    if (record.Count() > MaxReportSamples) {
        return;
    }
    if (CheckTimeHistoryReportable(record)) {
        return;
    }
    const ReportLines lines = BuildTimeHistoryReport(record, SoftwareEditionText, {});
    Expect(lines.Count() == static_cast<std::size_t>(record.Count()) + 8,
           "a time-history report holds one line per sample after its header");
    Expect(!LinesHoldNonFiniteText(lines), "a time-history report holds finite numbers only");
}

// The promises of the import command on a file in a standard format: refused
// as Free Type, and read as its own format into finite, integrated records
// with a positive time step, or refused with a warning that names the file.
FileImport CheckStandardImport(const std::vector<std::string>& lines, const Trailer& trailer) {
    ImportRequest request;
    request.Options.FreeType = trailer.Import;
    request.Options.Gravity = trailer.Settings.Gravity;
    request.Options.DecimalSeparator = trailer.DecimalSeparator;
    request.Format = RecordFormatId::FreeType;
    const FileImport asFreeType = ImportRecordLines("record.txt", lines, request);
    Expect(asFreeType.Records.empty() && asFreeType.Warning.rfind("record.txt is a", 0) == 0,
           "a standard file is refused as Free Type");
    request.Format.reset();
    FileImport import = ImportRecordLines("record.txt", lines, request);
    if (import.Records.empty()) {
        Expect(import.Warning.rfind("FILE: record.txt", 0) == 0,
               "a refused file names itself in its warning");
        return import;
    }
    Expect(import.Warning.empty(), "records come without a warning");
    for (const auto& record : import.Records) {
        const std::size_t n = static_cast<std::size_t>(record->Count());
        Expect(n > 0, "a record holds samples");
        Expect(record->GetDt() > 0 && std::isfinite(record->GetDt()),
               "a record's time step is positive");
        Expect(AllFinite(record->GetAcceleration()), "a record's samples are finite");
        Expect(record->IsIntegrated() && record->GetVelocity().size() == n &&
                   record->GetDisplacement().size() == n,
               "an imported record is integrated");
    }
    return import;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::uint8_t defaults[TrailerSize] = {};
    const bool hasTrailer = size >= TrailerSize;
    const std::size_t fileSize = hasTrailer ? size - TrailerSize : size;
    const Trailer trailer = ReadTrailer(hasTrailer ? data + fileSize : defaults);
    const std::string_view bytes(reinterpret_cast<const char*>(data), fileSize);

    const std::vector<std::string> lines = SplitTextLines(bytes);
    std::unique_ptr<TimeHistory> read;
    if (DetectStandardFormat(lines) != nullptr) {
        FileImport import = CheckStandardImport(lines, trailer);
        if (import.Records.empty()) {
            return 0;
        }
        read = std::move(import.Records.front());
    } else {
        ReadOutcome outcome =
            ReadRecordLines("record.txt", lines, trailer.Import, trailer.DecimalSeparator);
        CheckReader(lines, trailer, outcome);
        if (!outcome.Record) {
            return 0;
        }
        read = std::move(outcome.Record);
        IntegrateRecord(*read, trailer.Settings.Gravity, false);
        read->SetIntegrated(true);
    }
    TimeHistory& record = *read;
    const double gravity = trailer.Settings.Gravity;
    Expect(record.GetVelocity().size() == static_cast<std::size_t>(record.Count()) &&
               record.GetDisplacement().size() == static_cast<std::size_t>(record.Count()),
           "integration gives one velocity and displacement per sample");

    const BaselineCorrection first =
        trailer.ParabolicFirst ? BaselineCorrection::Parabolic : BaselineCorrection::Linear;
    const BaselineCorrection second =
        trailer.ParabolicFirst ? BaselineCorrection::Linear : BaselineCorrection::Parabolic;
    CheckCorrection(record, gravity, first);
    CheckCorrection(record, gravity, second);
    if (trailer.Reports) {
        CheckTimeHistoryReport(record);
    }
    CheckOscillator(record, trailer);

    const bool wasCorrected = record.IsCorrected();
    const BaselineOutcome cleared =
        ApplyBaselineCorrection(record, gravity, BaselineCorrection::None);
    Expect(cleared == (wasCorrected ? BaselineOutcome::Cleared : BaselineOutcome::Unchanged) &&
               !record.IsCorrected() && record.GetCorrectedAcceleration().empty(),
           "None removes a correction");
    return 0;
}
