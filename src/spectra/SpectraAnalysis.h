#pragma once

#include "record/Timeserie.h"
#include "spectra/AnalysisSettings.h"
#include "spectra/SpectraEngine.h"
#include "spectra/SpectraStore.h"

#include <optional>
#include <string>
#include <vector>

// The five spectra of one record: one curve per damping ratio, one value per
// grid period, period 0 included (index 0).
struct SpectraCurves {
    std::vector<DOUBLEVECTOR> SD;  // cm
    std::vector<DOUBLEVECTOR> SV;  // cm/s
    std::vector<DOUBLEVECTOR> PSV; // cm/s
    std::vector<DOUBLEVECTOR> SA;  // g
    std::vector<DOUBLEVECTOR> PSA; // g
};

// What an analysis has to tell the user.
struct SpectraOutcome {
    // One plain message per damping ratio whose solver calls failed (the
    // record's acceleration series is empty); those ratios have no curves.
    std::vector<std::string> Messages;
    // Set when the analysis was abandoned: a degenerate input found before
    // computing, or a result that is not a finite number. Nothing is stored
    // then and the curves are empty.
    std::optional<std::string> Refusal;
};

// The inputs that would make the oscillators' arithmetic meaningless, checked
// before anything is computed: Newmark's beta of 0 (divisions by zero in its
// constants) and damping ratios of -1 or less (no damped frequency).
std::optional<std::string> CheckSpectraInputs(const AnalysisSettings& settings,
                                              const DOUBLEVECTOR& dampingRatios);

// "Error calculation for DampingRatio: <ratio>& Period: <period>".
std::string SolverFailureMessage(double dampingRatio, double period, char decimalSeparator = '.');

// The spectra of `record` (its corrected acceleration when it is corrected) for
// every ratio of `dampingRatios` (in that order) and every period of `periods`
// (entry 0 = period 0). Refused before computing: the inputs of
// CheckSpectraInputs, a record with samples whose time step is not greater than
// zero, and a period too short for the time step. Value 0 of every curve is fixed: SD = SV = PSV =
// 0 and SA = PSA = the record's uncorrected peak acceleration. Values 1 ... are the engine's peaks
// with PSV = omega SD and PSA = omega² SD / g. `out` is replaced; it stays empty on a refusal.
SpectraOutcome ComputeSpectraCurves(SpectraEngine& engine, const TimeHistory& record,
                                    const AnalysisSettings& settings,
                                    const DOUBLEVECTOR& dampingRatios, const DOUBLEVECTOR& periods,
                                    SpectraCurves& out, char decimalSeparator = '.');

// Appends the curves to the store's five tables (SD, SV, PSV, SA, PSA).
void AppendSpectraCurves(SpectraStore& store, SpectraCurves&& curves);

// The computing part of "Analyze and Refresh", once the damping fields have
// been read (ReadDampingRatios) into `dampingRatios`: builds the period grid,
// sorts and deduplicates the ratios, computes the spectra, and then replaces the
// store's DampingRatios, Periods, Frequencies and curves with the results
// (ratios whose solver calls failed have no curves, see Messages). On a refusal
// the store is left exactly as it was.
SpectraOutcome AnalyzeIntoStore(SpectraEngine& engine, const TimeHistory& record,
                                const AnalysisSettings& settings, const DOUBLEVECTOR& dampingRatios,
                                SpectraStore& store, char decimalSeparator = '.');

// The same with the ratios read into store.DampingRatios; on a refusal they stay
// there as read while the rest of the store keeps the last analysis.
SpectraOutcome AnalyzeIntoStore(SpectraEngine& engine, const TimeHistory& record,
                                const AnalysisSettings& settings, SpectraStore& store,
                                char decimalSeparator = '.');
