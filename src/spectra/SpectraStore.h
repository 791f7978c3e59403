#pragma once

#include "record/Timeserie.h"

#include <vector>

// The five spectra, in the order they are offered and written everywhere.
enum class SpectrumQuantity {
    Displacement,
    Velocity,
    Acceleration,
    PseudoVelocity,
    PseudoAcceleration
};

// The main window's copy of the last spectrum analysis. Curve j of every table
// belongs to DampingRatios[j]; value i of a curve belongs to Periods[i].
// Readers bound every loop by the number of curves, the number of damping
// ratios and the lengths of the curve and of Periods: between analyses they
// need not agree (after a refused damping input or a spectra report).
struct SpectraStore {
    DOUBLEVECTOR DampingRatios;                         // fractions, strictly ascending
    DOUBLEVECTOR Periods;                               // s, entry 0 = 0.0
    DOUBLEVECTOR Frequencies;                           // Hz, entry 0 repeats entry 1
    std::vector<DOUBLEVECTOR> DisplacementCurves;       // SD, cm
    std::vector<DOUBLEVECTOR> VelocityCurves;           // SV, cm/s
    std::vector<DOUBLEVECTOR> PseudoVelocityCurves;     // PSV = w SD, cm/s
    std::vector<DOUBLEVECTOR> AccelerationCurves;       // SA, g
    std::vector<DOUBLEVECTOR> PseudoAccelerationCurves; // PSA = w² SD / g, g

    // The curve table of a quantity (stored order SD, SV, PSV, SA, PSA).
    const std::vector<DOUBLEVECTOR>& Curves(SpectrumQuantity quantity) const;
};

// Destroys every curve of the five tables; the three vectors are untouched.
void ClearSpectra(SpectraStore& store);
