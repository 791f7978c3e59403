#include "record/Integration.h"

#include <cstddef>

void IntegrateRecord(TimeHistory& record, double gravity, bool corrected) {
    const std::int32_t count = record.Count();
    if (count <= 0) {
        return;
    }
    const std::size_t n = static_cast<std::size_t>(count);
    const double dt = record.GetDt();
    const double g = gravity;
    const DOUBLEVECTOR& s =
        corrected ? record.GetCorrectedAcceleration() : record.GetAcceleration();
    DOUBLEVECTOR& v = corrected ? record.GetCorrectedVelocity() : record.GetVelocity();
    DOUBLEVECTOR& d = corrected ? record.GetCorrectedDisplacement() : record.GetDisplacement();
    if (corrected) {
        v.resize(n, 0.0);
        d.resize(n, 0.0);
    } else {
        v.assign(n, 0.0);
        d.assign(n, 0.0);
    }
    v[0] = 0.0;
    d[0] = 0.0;
    if (s.size() < n) {
        return; // no corrected acceleration to integrate
    }
    for (std::size_t i = 1; i < n; ++i) {
        v[i] = (0.5 * dt * g) * (s[i] + s[i - 1]) + v[i - 1];
        // 0.1666666667 is the displacement factor as the program has always
        // written it, not 1/6: its last digits show in the reports.
        d[i] = (dt * v[i - 1] + d[i - 1]) + (0.1666666667 * dt * dt * g) * (2 * s[i - 1] + s[i]);
    }
}
