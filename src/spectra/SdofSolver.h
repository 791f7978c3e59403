#pragma once

#include "record/Timeserie.h"
#include "spectra/AnalysisSettings.h"
#include "spectra/CircularFrequency.h"

// Peak response of one linear, viscously damped single-degree-of-freedom
// oscillator (unit mass) at rest at the start, excited at its base by a record:
//     u'' + 2 xi omega u' + omega² u = -g x(t),
// with x in g, g in cm/s², u in cm. The excitation is taken as linear between
// samples and integrated on n sub-steps per record step.

// The Nigam-Jennings coefficients of the piecewise exact method for damping
// ratio xi, sub-step h (s) and circular frequency omega (rad/s):
//     u_new = A11 u + A12 v + B11 a_start + B12 a_end
//     v_new = A21 u + A22 v + B21 a_start + B22 a_end
struct PiecewiseExactCoefficientSet {
    double A11, A12, A21, A22, B11, B12, B21, B22;
};

PiecewiseExactCoefficientSet PiecewiseExactCoefficients(double xi, double h, double omega);

// The constants of Newmark's incremental method (unit mass) for sub-step h.
struct NewmarkConstantSet {
    double KHat; // effective stiffness
    double A, B; // factors of v and a in the effective load increment
    double C1, C2, C3;
    double D1, D2, D3;
};

NewmarkConstantSet NewmarkConstants(double xi, double h, double omega, double beta, double gamma);

// cm/s²: Newmark's relative acceleration at the start, when the oscillator is at
// rest in equilibrium with the first sample firstSample (g), gravity in cm/s².
inline double NewmarkStartAcceleration(double gravity, double firstSample) {
    return -(gravity * firstSample);
}

// The most sub-steps one record step may take. More means a period far too
// short for the time step (below half a microsecond with dt = 0.01 s and
// dt/T = 0.02), which no ground-motion spectrum needs and which would keep one
// oscillator busy for minutes to hours.
constexpr int MaxSubStepCount = 1000000;

// Sub-steps per record step: the truncation of dt / (period * maxDtOverT) + 1,
// so that the sub-step dt / n never exceeds maxDtOverT * period. Returns 0 when
// that count is not a number from 1 to MaxSubStepCount (a period far too short
// for the time step, or a non-positive dt): no oscillator can be integrated then.
int SubStepCount(double dt, double period, double maxDtOverT);

// The peaks of one oscillator: |u| max (SD, cm), |u'| max (SV, cm/s) and
// |u'' + g x| / g max (SA, g), over the sub-step end points, from rest, by the
// chosen method (Newmark's starting with the relative acceleration of rest,
// NewmarkStartAcceleration). The series is the record's corrected acceleration when
// `corrected`, else its acceleration. Returns false without touching the
// outputs when the series is empty; otherwise the outputs are set to 0 first
// (a one-sample series gives three zeros). Also returns false, with the outputs
// 0, when SubStepCount gives 0.
bool ComputePeakResponse(const TimeHistory& record, bool corrected, double gravity,
                         double maxDtOverT, double dampingRatio, double period, SolverMethod method,
                         double beta, double gamma, double& SD, double& SV, double& SA);

// The oscillator's state after the last sub-step of a ComputePeakResponse run.
struct SdofFinalState {
    double Displacement = 0; // cm
    double Velocity = 0;     // cm/s
};

// ComputePeakResponse that also gives the final state (for checking that an
// oscillator settles where the statics say it must).
bool ComputePeakAndFinalResponse(const TimeHistory& record, bool corrected, double gravity,
                                 double maxDtOverT, double dampingRatio, double period,
                                 SolverMethod method, double beta, double gamma, double& SD,
                                 double& SV, double& SA, SdofFinalState& finalState);
