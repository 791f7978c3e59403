#pragma once

#include "record/Timeserie.h"

// Integrates the acceleration (g) of a record into velocity (cm/sec) and
// displacement (cm), exactly for acceleration linear within each step.
// corrected false: Acceleration -> Velocity, Displacement;
// corrected true: CorrectedAcceleration -> CorrectedVelocity, CorrectedDisplacement.
// gravity in cm/s². Does nothing for an empty record; sets no flag.
void IntegrateRecord(TimeHistory& record, double gravity, bool corrected);
