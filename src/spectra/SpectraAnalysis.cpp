#include "spectra/SpectraAnalysis.h"

#include "spectra/CircularFrequency.h"
#include "spectra/DampingAndPeriods.h"
#include "spectra/SdofSolver.h"
#include "text/NumberText.h"

#include <cmath>
#include <cstddef>
#include <utility>

namespace {

std::string NumbersMessage(const char* head, double dampingRatio, const char* middle, double period,
                           char decimalSeparator) {
    std::string message = head;
    message += FormatGeneral(dampingRatio, decimalSeparator);
    message += middle;
    message += FormatGeneral(period, decimalSeparator);
    return message;
}

} // namespace

std::optional<std::string> CheckSpectraInputs(const AnalysisSettings& settings,
                                              const DOUBLEVECTOR& dampingRatios) {
    if (settings.Method != 0 && settings.NewmarkBeta == 0) {
        return std::string("Newmark's Beta must not be zero!");
    }
    for (double ratio : dampingRatios) {
        if (!(ratio > -1)) {
            return std::string("Damping Ratio must be greater than -100%!");
        }
    }
    return std::nullopt;
}

std::string SolverFailureMessage(double dampingRatio, double period, char decimalSeparator) {
    return NumbersMessage("Error calculation for DampingRatio: ", dampingRatio,
                          "& Period: ", period, decimalSeparator);
}

SpectraOutcome ComputeSpectraCurves(SpectraEngine& engine, const TimeHistory& record,
                                    const AnalysisSettings& settings,
                                    const DOUBLEVECTOR& dampingRatios, const DOUBLEVECTOR& periods,
                                    SpectraCurves& out, char decimalSeparator) {
    out = SpectraCurves{};
    SpectraOutcome outcome;
    if (std::optional<std::string> refusal = CheckSpectraInputs(settings, dampingRatios)) {
        outcome.Refusal = std::move(refusal);
        return outcome;
    }
    const SpectraInput input = MakeSpectraInput(record, settings);
    const bool hasSamples = !input.Series->empty();
    const std::size_t periodCount = periods.size();
    if (hasSamples) {
        // A record that does not advance in time has no oscillator to integrate
        // (every sub-step count is refused below, but the period is not the cause).
        if (!(input.Dt > 0)) {
            outcome.Refusal = "Time step " + FormatGeneral(input.Dt, decimalSeparator) +
                              " is not greater than zero: the record cannot be analysed!";
            return outcome;
        }
        for (std::size_t i = 1; i < periodCount; ++i) {
            if (SubStepCount(input.Dt, periods[i], input.MaxDtOverT) == 0) {
                outcome.Refusal = "Period " + FormatGeneral(periods[i], decimalSeparator) +
                                  " is too short for the time step " +
                                  FormatGeneral(input.Dt, decimalSeparator) +
                                  ": the oscillator cannot be integrated!";
                return outcome;
            }
        }
    }

    std::vector<std::vector<PeakResponse>> peaks;
    const bool computed = periodCount < 2 || engine.Compute(input, dampingRatios, periods, peaks);
    if (!computed) {
        // The solver fails at the first nonzero period of every ratio.
        for (double ratio : dampingRatios) {
            outcome.Messages.push_back(SolverFailureMessage(ratio, periods[1], decimalSeparator));
        }
        return outcome;
    }

    const double pga = record.PeakAcceleration(); // g, uncorrected
    const double g = settings.Gravity;
    SpectraCurves curves;
    for (std::size_t j = 0; j < dampingRatios.size(); ++j) {
        DOUBLEVECTOR sd{0.0}, sv{0.0}, psv{0.0}, sa{pga}, psa{pga};
        sd.reserve(periodCount);
        sv.reserve(periodCount);
        psv.reserve(periodCount);
        sa.reserve(periodCount);
        psa.reserve(periodCount);
        for (std::size_t i = 1; i < periodCount; ++i) {
            const PeakResponse& p = peaks[j][i];
            const double omega = CircularFrequency(periods[i]);
            const double pseudoVelocity = PseudoVelocity(omega, p.SD);
            const double pseudoAcceleration = PseudoAcceleration(omega, p.SD, g);
            if (!std::isfinite(p.SD) || !std::isfinite(p.SV) || !std::isfinite(p.SA) ||
                !std::isfinite(pseudoVelocity) || !std::isfinite(pseudoAcceleration)) {
                outcome.Refusal =
                    NumbersMessage("Calculation overflow for DampingRatio: ", dampingRatios[j],
                                   " & Period: ", periods[i], decimalSeparator);
                return outcome;
            }
            sd.push_back(p.SD);
            sv.push_back(p.SV);
            psv.push_back(pseudoVelocity);
            sa.push_back(p.SA);
            psa.push_back(pseudoAcceleration);
        }
        curves.SD.push_back(std::move(sd));
        curves.SV.push_back(std::move(sv));
        curves.PSV.push_back(std::move(psv));
        curves.SA.push_back(std::move(sa));
        curves.PSA.push_back(std::move(psa));
    }
    out = std::move(curves);
    return outcome;
}

void AppendSpectraCurves(SpectraStore& store, SpectraCurves&& curves) {
    auto append = [](std::vector<DOUBLEVECTOR>& table, std::vector<DOUBLEVECTOR>& from) {
        for (DOUBLEVECTOR& curve : from) {
            table.push_back(std::move(curve));
        }
        from.clear();
    };
    append(store.DisplacementCurves, curves.SD);
    append(store.VelocityCurves, curves.SV);
    append(store.PseudoVelocityCurves, curves.PSV);
    append(store.AccelerationCurves, curves.SA);
    append(store.PseudoAccelerationCurves, curves.PSA);
}

SpectraOutcome AnalyzeIntoStore(SpectraEngine& engine, const TimeHistory& record,
                                const AnalysisSettings& settings, const DOUBLEVECTOR& dampingRatios,
                                SpectraStore& store, char decimalSeparator) {
    DOUBLEVECTOR periods;
    DOUBLEVECTOR frequencies;
    DOUBLEVECTOR ratios = dampingRatios;
    PrepareSpectraGrid(settings, ratios, periods, frequencies);
    SpectraCurves curves;
    SpectraOutcome outcome =
        ComputeSpectraCurves(engine, record, settings, ratios, periods, curves, decimalSeparator);
    if (outcome.Refusal) {
        return outcome;
    }
    store.DampingRatios = std::move(ratios);
    store.Periods = std::move(periods);
    store.Frequencies = std::move(frequencies);
    ClearSpectra(store);
    AppendSpectraCurves(store, std::move(curves));
    return outcome;
}

SpectraOutcome AnalyzeIntoStore(SpectraEngine& engine, const TimeHistory& record,
                                const AnalysisSettings& settings, SpectraStore& store,
                                char decimalSeparator) {
    const DOUBLEVECTOR read = store.DampingRatios;
    return AnalyzeIntoStore(engine, record, settings, read, store, decimalSeparator);
}
