#include "record/BaselineCorrection.h"

#include "record/Integration.h"

#include <cmath>
#include <cstddef>

namespace {

// Linear baseline into `c` (N samples). Reads the record's Velocity and
// Displacement, which must hold N samples. Time advances by repeated addition
// of dt, as the fit was always computed.
bool CorrectLinear(const TimeHistory& record, double g, DOUBLEVECTOR& c) {
    const std::size_t n = static_cast<std::size_t>(record.Count());
    const double dt = record.GetDt();
    const double duration = static_cast<double>(n - 1) * dt; // T, s
    const DOUBLEVECTOR& a = record.GetAcceleration();
    const DOUBLEVECTOR& v = record.GetVelocity();
    const DOUBLEVECTOR& d = record.GetDisplacement();
    if (v.size() < n || d.size() < n) {
        return false;
    }
    c.assign(n, 0.0);

    // Weighted displacement (3T - 2t) d t², kept in c for the moment.
    double t = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        c[i] = (3 * duration - 2 * t) * d[i] * t * t;
        t = t + dt;
    }
    // Trapezoid rule over the samples, summed in order.
    double sum = (c[0] + c[n - 1]) * 0.5;
    for (std::size_t i = 1; i + 1 < n; ++i) {
        sum = sum + c[i];
    }
    const double integral = sum * dt;

    const double vEnd = v[n - 1]; // cm/sec
    const double t5 = duration * duration * duration * duration * duration;
    const double a1 = 28 / (13 * duration * duration) * (2 * vEnd - 15 * integral / t5); // cm/s³
    const double a0 = vEnd / duration - 0.5 * a1 * duration;                             // cm/s²

    // Provisional corrected samples and their largest magnitude M.
    t = 0.0;
    double largest = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        c[i] = (a[i] * g - a0 - a1 * t) / g;
        if (std::fabs(c[i]) > largest) {
            largest = std::fabs(c[i]);
        }
        t = t + dt;
    }
    if (!(largest > 0.0)) {
        return false; // nothing to rescale: the fit left no signal (M = 0)
    }
    // Rescale so that the corrected record keeps the uncorrected peak.
    const double ratio = record.PeakAcceleration() / largest;
    for (std::size_t i = 0; i < n; ++i) {
        c[i] = ratio * c[i];
    }
    return AllFinite(c);
}

// Parabolic baseline into `c` (N samples). The velocity u is rebuilt step by
// step from the acceleration; S1, S2, S3 are the integrals of t u, t² u and t³ u,
// exact for acceleration linear within each step but for the decimal constants,
// which are kept as the program has always used them.
bool CorrectParabolic(const TimeHistory& record, double g, DOUBLEVECTOR& c) {
    const std::size_t n = static_cast<std::size_t>(record.Count());
    const double dt = record.GetDt();
    const double duration = static_cast<double>(n - 1) * dt; // T, s
    const DOUBLEVECTOR& a = record.GetAcceleration();
    c.assign(n, 0.0);

    double t0 = 0.0;
    double t1 = t0 + dt;
    const double h2 = dt * dt;
    double u = 0.0; // cm/sec
    double s1 = 0.0;
    double s2 = 0.0;
    double s3 = 0.0;
    double t0Sq = t0 * t0;
    double t0Cu = t0Sq * t0;
    double t0t1 = t0 * t1;
    double t1Sq = t1 * t1;
    double t1Cu = t1Sq * t1;
    for (std::size_t k = 0; k + 1 < n; ++k) {
        const double a0 = a[k] * g;     // cm/s² at t0
        const double a1 = a[k + 1] * g; // cm/s² at t1
        s1 += 0.5 * u * dt * (t0 + t1) +
              ((3 * t0 + 5 * t1) * a0 + (t0 + 3 * t1) * a1) * (0.0416666666667 * h2);
        s2 += 0.3333333333 * u * dt * (t0Sq + t0t1 + t1Sq) +
              ((4 * t0Sq + 7 * t0t1 + 9 * t1Sq) * a0 + (t0Sq + 3 * t0t1 + 6 * t1Sq) * a1) *
                  (0.01666666667 * h2);
        s3 += 0.25 * u * dt * (t0Sq * t1 + t0Cu + t0 * t1Sq + t1Cu) +
              ((5 * t0Cu + 9 * t0Sq * t1 + 12 * t0 * t1Sq + 14 * t1Cu) * a0 +
               (t0Cu + 3 * t0Sq * t1 + 6 * t0 * t1Sq + 10 * t1Cu) * a1) *
                  (0.008333333333 * h2);
        t0 = dt + t0;
        t1 = t0 + dt;
        t0Sq = t0 * t0;
        t0Cu = t0Sq * t0;
        t0t1 = t0 * t1;
        t1Sq = t1 * t1;
        t1Cu = t1Sq * t1;
        u = (0.5 * dt * g) * (a[k] + a[k + 1]) + u;
    }
    s1 = s1 / (duration * duration * duration);
    s2 = s2 / (duration * duration * duration * duration);
    s3 = s3 / (duration * duration * duration * duration * duration);

    // Inverse of the normal equations of the least-squares fit.
    const double c0 = 300 * s1 - 900 * s2 + 630 * s3;                              // cm/s²
    const double c1 = (-1800 * s1 + 5760 * s2 - 4200 * s3) / duration;             // cm/s³
    const double c2 = (1890 * s1 - 6300 * s2 + 4725 * s3) / (duration * duration); // cm/s⁴

    double t = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        c[i] = (a[i] * g - c0 - c1 * t - c2 * t * t) / g;
        t = t + dt;
    }
    return AllFinite(c);
}

} // namespace

bool CorrectBaseline(TimeHistory& record, double gravity, BaselineCorrection method) {
    if (method != BaselineCorrection::Linear && method != BaselineCorrection::Parabolic) {
        return false;
    }
    const std::int32_t count = record.Count();
    const double duration = static_cast<double>(count - 1) * record.GetDt();
    // A fit over no time at all is undefined; refuse it before touching anything.
    if (count < 2 || !std::isfinite(duration) || duration == 0.0) {
        return false;
    }

    DOUBLEVECTOR corrected; // committed to the record only on success
    bool ok = false;
    if (method == BaselineCorrection::Parabolic) {
        ok = CorrectParabolic(record, gravity, corrected);
    } else if (record.IsIntegrated()) {
        ok = CorrectLinear(record, gravity, corrected);
    } else {
        // The fit needs the uncorrected velocity and displacement. Integrate them
        // now, keeping the old series aside so that a refused fit can put them back.
        DOUBLEVECTOR oldVelocity;
        DOUBLEVECTOR oldDisplacement;
        oldVelocity.swap(record.GetVelocity());
        oldDisplacement.swap(record.GetDisplacement());
        IntegrateRecord(record, gravity, false);
        ok = CorrectLinear(record, gravity, corrected);
        if (!ok) {
            record.GetVelocity().swap(oldVelocity);
            record.GetDisplacement().swap(oldDisplacement);
        }
    }
    if (!ok) {
        return false;
    }
    record.GetCorrectedAcceleration().swap(corrected);
    return true;
}

BaselineOutcome ApplyBaselineCorrection(TimeHistory& record, double gravity,
                                        BaselineCorrection choice) {
    if (record.Count() <= 0) {
        return BaselineOutcome::NoSamples;
    }
    if (choice != BaselineCorrection::Linear && choice != BaselineCorrection::Parabolic) {
        if (!record.IsCorrected()) {
            return BaselineOutcome::Unchanged;
        }
        record.ClearCorrection();
        return BaselineOutcome::Cleared;
    }
    const auto type = static_cast<std::int32_t>(choice);
    if (record.IsCorrected() && record.GetCorrectionType() == type) {
        return BaselineOutcome::Unchanged;
    }

    // Keep the current corrected series aside: if the new ones cannot be
    // computed or integrated to finite values, the record goes back to them.
    DOUBLEVECTOR oldAcceleration;
    DOUBLEVECTOR oldVelocity;
    DOUBLEVECTOR oldDisplacement;
    oldAcceleration.swap(record.GetCorrectedAcceleration());
    oldVelocity.swap(record.GetCorrectedVelocity());
    oldDisplacement.swap(record.GetCorrectedDisplacement());
    const bool wasIntegrated = record.IsIntegrated();

    bool ok = CorrectBaseline(record, gravity, choice);
    if (ok) {
        IntegrateRecord(record, gravity, true);
        ok = AllFinite(record.GetCorrectedVelocity()) &&
             AllFinite(record.GetCorrectedDisplacement());
    }
    if (!ok) {
        record.GetCorrectedAcceleration().swap(oldAcceleration);
        record.GetCorrectedVelocity().swap(oldVelocity);
        record.GetCorrectedDisplacement().swap(oldDisplacement);
        return BaselineOutcome::Failed;
    }
    // A corrected record is an integrated one: the linear fit has integrated the
    // uncorrected series itself if they were missing; do it for the parabolic
    // fit, which does not read them.
    if (!wasIntegrated) {
        if (choice == BaselineCorrection::Parabolic) {
            IntegrateRecord(record, gravity, false);
        }
        record.SetIntegrated(true);
    }
    record.SetCorrected(true);
    record.SetCorrectionType(type);
    return BaselineOutcome::Recomputed;
}
