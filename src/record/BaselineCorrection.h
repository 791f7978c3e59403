#pragma once

#include "record/Timeserie.h"

// The warning the window shows when a correction cannot be computed.
inline constexpr const char* BaselineCorrectionFailedText = "Base Line Correction Failed!";

// Removes a low-order baseline drift from the record's acceleration and puts the
// result into CorrectedAcceleration (g, Count() samples). gravity in cm/s².
//
// Linear: a straight baseline a0 + a1 t (cm/s²) that brings the corrected
// velocity to zero at the end of the record and, subject to that, minimises the
// integral of the squared corrected displacement; the corrected series is then
// rescaled to the record's PeakAcceleration(). Reads the stored Velocity and
// Displacement, integrating the uncorrected series first if the record is not
// integrated yet.
//
// Parabolic: a quadratic baseline c0 + c1 t + c2 t² (cm/s²) whose velocity is the
// least-squares fit of the uncorrected velocity (rebuilt on the fly); no rescaling.
//
// Returns false - and leaves the record exactly as it was - when the fit is
// undefined: a single sample (zero duration), a linear fit whose provisional
// samples are all zero, or any result that is not a finite number. Sets no
// flag and does not integrate the corrected series; the caller does.
bool CorrectBaseline(TimeHistory& record, double gravity, BaselineCorrection method);

// What "Apply Baseline Correction" did to a record.
enum class BaselineOutcome {
    NoSamples,  // the record is empty: nothing done, nothing to redraw
    Recomputed, // corrected by the chosen method, all three corrected series new
    Unchanged,  // already in the requested state (same method, or None on an uncorrected record)
    Cleared,    // None on a corrected record: the correction removed
    Failed      // CorrectBaseline refused the record; the record is as it was
};

// The command's state table on one record:
// - None clears a correction (CorrectionType keeps its value);
// - Linear or Parabolic recomputes only when the record is uncorrected or was
//   corrected by the other method; a record corrected by the chosen method is
//   left alone even if gravity has changed since;
// - on success the record is flagged corrected by that method and the corrected
//   acceleration integrated with `gravity` into CorrectedVelocity and
//   CorrectedDisplacement.
// The window shows BaselineCorrectionFailedText on Failed and redraws the plots
// for every outcome except NoSamples.
BaselineOutcome ApplyBaselineCorrection(TimeHistory& record, double gravity,
                                        BaselineCorrection choice);
