#pragma once

// The circular frequency of an oscillator and the two pseudo-spectra derived
// from it. Solvers, spectra and reports use these, so that the same period
// gives the same bits everywhere.

// rad: the circular frequency of period T is CircularFrequencyConstant / T. The
// constant is the one the program has always used (about 1.07e-7 below 2 pi),
// not 2 pi to full precision.
constexpr double CircularFrequencyConstant = 6.2831852;

// rad/s, for a period in s.
inline double CircularFrequency(double period) {
    return CircularFrequencyConstant / period;
}

// PSV = omega * SD: cm/s from cm.
inline double PseudoVelocity(double omega, double displacement) {
    return omega * displacement;
}

// PSA = omega * omega * SD / g: g from cm, gravity in cm/s².
inline double PseudoAcceleration(double omega, double displacement, double gravity) {
    return ((omega * omega) * displacement) / gravity;
}
