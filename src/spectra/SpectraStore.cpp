#include "spectra/SpectraStore.h"

const std::vector<DOUBLEVECTOR>& SpectraStore::Curves(SpectrumQuantity quantity) const {
    switch (quantity) {
    case SpectrumQuantity::Displacement:
        return DisplacementCurves;
    case SpectrumQuantity::Velocity:
        return VelocityCurves;
    case SpectrumQuantity::Acceleration:
        return AccelerationCurves;
    case SpectrumQuantity::PseudoVelocity:
        return PseudoVelocityCurves;
    case SpectrumQuantity::PseudoAcceleration:
        break;
    }
    return PseudoAccelerationCurves;
}

void ClearSpectra(SpectraStore& store) {
    store.DisplacementCurves.clear();
    store.VelocityCurves.clear();
    store.PseudoVelocityCurves.clear();
    store.AccelerationCurves.clear();
    store.PseudoAccelerationCurves.clear();
}
