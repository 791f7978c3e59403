#include "spectra/SdofSolver.h"

#include <cmath>
#include <cstddef>
#include <limits>

PiecewiseExactCoefficientSet PiecewiseExactCoefficients(double xi, double h, double omega) {
    const double E = std::exp(-xi * omega * h);
    const double omegaD = omega * std::sqrt(1 - xi * xi);
    const double S = std::sin(omegaD * h);
    const double C = std::cos(omegaD * h);
    PiecewiseExactCoefficientSet c{};
    c.A11 = E * (xi * omega * S / omegaD + C);
    c.A12 = E * S / omegaD;
    c.A21 = -(omega * omega) * E * S / omegaD;
    c.A22 = E * (C - xi * omega * S / omegaD);
    const double P = (2 * (xi * xi) - 1) / ((omega * omega) * h);
    const double Q = 2 * xi / ((omega * omega * omega) * h);
    const double V = C - xi * omega * S / omegaD;
    const double W = omegaD * S + xi * omega * C;
    c.B11 = E * ((xi / omega + P) * S / omegaD + (1 / (omega * omega) + Q) * C) - Q;
    c.B12 = -E * (P * S / omegaD + Q * C) - 1 / (omega * omega) + Q;
    c.B21 = E * ((xi / omega + P) * V - (1 / (omega * omega) + Q) * W) + 1 / ((omega * omega) * h);
    c.B22 = -E * (P * V - Q * W) - 1 / ((omega * omega) * h);
    return c;
}

NewmarkConstantSet NewmarkConstants(double xi, double h, double omega, double beta, double gamma) {
    const double m = 1.0; // unit mass
    const double k = (omega * omega) * m;
    const double c = 2 * m * omega * xi;
    NewmarkConstantSet n{};
    n.KHat = gamma * c / (beta * h) + k + m / (beta * (h * h));
    n.A = m / (beta * h) + gamma * c / beta;
    n.B = m / (2 * beta) + (gamma / (2 * beta) - 1) * h * c;
    n.C1 = gamma / (beta * h);
    n.C2 = -gamma / beta;
    n.C3 = (1 - gamma / (2 * beta)) * h;
    n.D1 = 1 / (beta * (h * h));
    n.D2 = -1 / (beta * h);
    n.D3 = -1 / (2 * beta);
    return n;
}

int SubStepCount(double dt, double period, double maxDtOverT) {
    const double count = dt / (period * maxDtOverT) + 1;
    // Only counts that truncate to 1 ... MaxSubStepCount are counts; anything
    // else, NaN included, is no count at all.
    if (!(count >= 1.0 && count < MaxSubStepCount + 1.0)) {
        return 0;
    }
    return static_cast<int>(count);
}

namespace {

// Peaks of a sub-step end point, in this order and with strict comparisons.
inline void UpdatePeaks(double u, double v, double aAbs, double& SD, double& SV, double& SA) {
    if (std::fabs(u) > SD) {
        SD = std::fabs(u);
    }
    if (std::fabs(v) > SV) {
        SV = std::fabs(v);
    }
    if (std::fabs(aAbs) > SA) {
        SA = std::fabs(aAbs);
    }
}

} // namespace

bool ComputePeakAndFinalResponse(const TimeHistory& record, bool corrected, double gravity,
                                 double maxDtOverT, double dampingRatio, double period,
                                 SolverMethod method, double beta, double gamma, double& SD,
                                 double& SV, double& SA, SdofFinalState& finalState) {
    const double g = gravity;
    const double xi = dampingRatio;
    const double omega = CircularFrequency(period);
    const int n = SubStepCount(record.GetDt(), period, maxDtOverT);
    const DOUBLEVECTOR& x = record.GetAccelerationSeries(corrected);
    const std::size_t N = x.size();
    if (N == 0) {
        return false;
    }
    SD = 0;
    SV = 0;
    SA = 0;
    finalState = SdofFinalState{};
    if (n == 0) {
        return false;
    }
    const double h = record.GetDt() / n; // s

    double u = 0; // cm
    double v = 0; // cm/s
    if (method == SolverMethod::PiecewiseExact) {
        const PiecewiseExactCoefficientSet c = PiecewiseExactCoefficients(xi, h, omega);
        for (std::size_t k = 1; k < N; ++k) {
            const double dag = g * (x[k] - x[k - 1]) / n; // cm/s² per sub-step
            for (int i = 1; i <= n; ++i) {
                const double as = (i - 1) * dag + g * x[k - 1];
                const double ae = i * dag + g * x[k - 1];
                const double uNew = c.A11 * u + c.A12 * v + c.B11 * as + c.B12 * ae;
                const double vNew = c.A21 * u + c.A22 * v + c.B21 * as + c.B22 * ae;
                const double aAbs = -(2 * xi * omega * vNew + omega * omega * uNew) / g;
                UpdatePeaks(uNew, vNew, aAbs, SD, SV, SA);
                u = uNew;
                v = vNew;
            }
        }
    } else {
        const NewmarkConstantSet c = NewmarkConstants(xi, h, omega, beta, gamma);
        // Relative acceleration, cm/s². At rest (u = v = 0) the equation of
        // motion leaves u'' = -g x[0]: starting from 0 instead would integrate
        // the record shifted by its first sample.
        double a = NewmarkStartAcceleration(g, x[0]);
        for (std::size_t k = 1; k < N; ++k) {
            const double dag = g * (x[k] - x[k - 1]) / n;
            for (int i = 1; i <= n; ++i) {
                const double as = (i - 1) * dag + g * x[k - 1];
                const double ae = i * dag + g * x[k - 1];
                const double dp = (as - ae) + c.A * v + c.B * a;
                const double du = dp / c.KHat;
                const double dv = c.C1 * du + c.C2 * v + c.C3 * a;
                const double da = c.D1 * du + c.D2 * v + c.D3 * a;
                const double uNew = u + du;
                const double vNew = v + dv;
                a = a + da;
                const double aAbs = (a + ae) / g;
                UpdatePeaks(uNew, vNew, aAbs, SD, SV, SA);
                u = uNew;
                v = vNew;
            }
        }
    }
    finalState.Displacement = u;
    finalState.Velocity = v;
    return true;
}

bool ComputePeakResponse(const TimeHistory& record, bool corrected, double gravity,
                         double maxDtOverT, double dampingRatio, double period, SolverMethod method,
                         double beta, double gamma, double& SD, double& SV, double& SA) {
    SdofFinalState finalState;
    return ComputePeakAndFinalResponse(record, corrected, gravity, maxDtOverT, dampingRatio, period,
                                       method, beta, gamma, SD, SV, SA, finalState);
}
