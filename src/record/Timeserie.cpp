#include "record/Timeserie.h"

#include <algorithm>
#include <cmath>
#include <utility>

bool AllFinite(const DOUBLEVECTOR& series) {
    return std::ranges::all_of(series, [](double value) { return std::isfinite(value); });
}

TimeHistory::TimeHistory(std::string name, double dt) : Name(std::move(name)), Dt(dt) {}

void TimeHistory::AddAcceleration(double value) {
    Acceleration.push_back(value);
    const std::int32_t n = Count();
    if (n == 1) {
        MaxAcceleration = MinAcceleration = value;
        MaxIndex = MinIndex = 0;
    } else {
        // Strict comparisons: ties keep the earliest index.
        if (value > MaxAcceleration) {
            MaxAcceleration = value;
            MaxIndex = n - 1;
        }
        if (value < MinAcceleration) {
            MinAcceleration = value;
            MinIndex = n - 1;
        }
    }
    Corrected = false;
    Integrated = false;
}

double TimeHistory::PeakAcceleration() const {
    const double a = std::fabs(MaxAcceleration);
    const double b = std::fabs(MinAcceleration);
    return a > b ? a : b;
}

void TimeHistory::ClearCorrection() {
    Corrected = false;
    CorrectedAcceleration.clear();
    CorrectedVelocity.clear();
    CorrectedDisplacement.clear();
}
