#pragma once

#include "record/RecordInfo.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Growable array of doubles: the type of every series, grid and curve.
using DOUBLEVECTOR = std::vector<double>;

// True when every value of `series` is a finite number (an empty series is).
bool AllFinite(const DOUBLEVECTOR& series);

// Baseline correction methods. None is never stored in a record: choosing it
// removes the correction.
enum class BaselineCorrection : std::int32_t { Linear = 0, Parabolic = 1, None = 2 };

// One imported ground-motion record: acceleration samples at a constant time
// step, with the velocity and displacement integrated from it, each in an
// uncorrected and a baseline-corrected form. Sample i belongs to time i * Dt.
class TimeHistory {
public:
    TimeHistory(std::string name, double dt);
    virtual ~TimeHistory() = default;

    TimeHistory(const TimeHistory&) = delete;
    TimeHistory& operator=(const TimeHistory&) = delete;

    // Appends one sample (g) and tracks the peaks; the derived series no
    // longer match, so the record returns to "filled".
    void AddAcceleration(double value);

    std::int32_t Count() const { return static_cast<std::int32_t>(Acceleration.size()); }
    double GetDt() const { return Dt; }
    std::string GetName() const { return Name; }

    DOUBLEVECTOR& GetAcceleration() { return Acceleration; }
    DOUBLEVECTOR& GetCorrectedAcceleration() { return CorrectedAcceleration; }
    DOUBLEVECTOR& GetVelocity() { return Velocity; }
    DOUBLEVECTOR& GetCorrectedVelocity() { return CorrectedVelocity; }
    DOUBLEVECTOR& GetDisplacement() { return Displacement; }
    DOUBLEVECTOR& GetCorrectedDisplacement() { return CorrectedDisplacement; }
    const DOUBLEVECTOR& GetAcceleration() const { return Acceleration; }
    const DOUBLEVECTOR& GetCorrectedAcceleration() const { return CorrectedAcceleration; }
    const DOUBLEVECTOR& GetVelocity() const { return Velocity; }
    const DOUBLEVECTOR& GetCorrectedVelocity() const { return CorrectedVelocity; }
    const DOUBLEVECTOR& GetDisplacement() const { return Displacement; }
    const DOUBLEVECTOR& GetCorrectedDisplacement() const { return CorrectedDisplacement; }

    // CorrectedAcceleration when corrected is true, else Acceleration.
    const DOUBLEVECTOR& GetAccelerationSeries(bool corrected) const {
        return corrected ? CorrectedAcceleration : Acceleration;
    }

    double GetMaxAcceleration() const { return MaxAcceleration; }
    double GetMinAcceleration() const { return MinAcceleration; }
    std::int32_t GetMaxIndex() const { return MaxIndex; }
    std::int32_t GetMinIndex() const { return MinIndex; }

    // The larger of |MaxAcceleration| and |MinAcceleration| (g); 0 when empty.
    double PeakAcceleration() const;

    // Corrected = false and the three corrected series emptied; CorrectionType kept.
    void ClearCorrection();

    bool IsCorrected() const { return Corrected; }
    void SetCorrected(bool flag) { Corrected = flag; }
    std::int32_t GetCorrectionType() const { return CorrectionType; }
    void SetCorrectionType(std::int32_t type) { CorrectionType = type; }
    bool IsIntegrated() const { return Integrated; }
    void SetIntegrated(bool flag) { Integrated = flag; }

    // What the file's header says about the record.
    const RecordInfo& GetInfo() const { return Info; }
    void SetInfo(RecordInfo info) { Info = std::move(info); }

private:
    DOUBLEVECTOR Acceleration;          // g, as read (file value x scaling factor)
    DOUBLEVECTOR CorrectedAcceleration; // g
    DOUBLEVECTOR Velocity;              // cm/sec
    DOUBLEVECTOR CorrectedVelocity;     // cm/sec
    DOUBLEVECTOR Displacement;          // cm
    DOUBLEVECTOR CorrectedDisplacement; // cm
    std::string Name;                   // source file name with extension, no folder
    RecordInfo Info;
    std::int32_t CorrectionType = 0; // 0 Linear, 1 Parabolic; meaningful while Corrected
    bool Corrected = false;
    bool Integrated = false;
    double Dt;                    // s
    double MaxAcceleration = 0.0; // g
    double MinAcceleration = 0.0; // g
    std::int32_t MaxIndex = -1;
    std::int32_t MinIndex = -1;
};
