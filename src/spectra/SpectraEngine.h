#pragma once

#include "record/Timeserie.h"
#include "spectra/AnalysisSettings.h"

#include <memory>
#include <string_view>
#include <vector>

// The peaks of one oscillator: SD (cm), SV (cm/s), SA (g).
struct PeakResponse {
    double SD = 0;
    double SV = 0;
    double SA = 0;
};

// What every oscillator of one analysis shares: the excitation and the settings
// that ComputePeakResponse takes besides the damping ratio and the period.
struct SpectraInput {
    const DOUBLEVECTOR* Series = nullptr; // ground acceleration, g
    double Dt = 0.01;                     // s
    double Gravity = 980;                 // cm/s²
    double MaxDtOverT = 0.02;
    SolverMethod Method = SolverMethod::PiecewiseExact;
    double Beta = 0.25;
    double Gamma = 0.5;
};

// The input for a record and the settings: the corrected acceleration when the
// record is corrected, else its acceleration (the record must outlive the input).
SpectraInput MakeSpectraInput(const TimeHistory& record, const AnalysisSettings& settings);

// The instruction sets the engine can run its oscillators on. Automatic takes
// the widest one the processor supports.
enum class VectorPath { Automatic, Scalar, Sse2, Avx2, Avx512 };

// True when this processor (and this build) can run `path`; Automatic and
// Scalar always can.
bool IsVectorPathSupported(VectorPath path);

// The number of threads worth running: `affinityCount` processors this process
// may run on, cut to the CPU quota of a cgroup v2 cpu.max text ("QUOTA PERIOD",
// the quota rounded up to whole processors; "max ..." or an unreadable text
// sets no limit). At least 1.
unsigned UsableProcessorCount(unsigned affinityCount, std::string_view cpuMaxText);

// The same for this process: its affinity mask and /sys/fs/cgroup/cpu.max.
unsigned UsableProcessorCount();

// "Scalar", "SSE2", "AVX2", "AVX-512" (or "Automatic").
const char* VectorPathName(VectorPath path);

// Computes the peaks of every damping ratio x period pair of one record. Each
// pair gives exactly the bits ComputePeakResponse gives for it, whatever the
// thread count and the vector path: the oscillators sharing a sub-step count
// advance side by side in vector lanes through the same element-wise
// arithmetic, on excitation values formed once per block of record steps.
//
// The engine keeps a pool of threads and its buffers between calls. One engine
// serves one caller at a time (Compute takes a lock).
class SpectraEngine {
public:
    // threads: the number of threads that compute, the calling one included;
    // 0 = UsableProcessorCount().
    explicit SpectraEngine(unsigned threads = 0);
    ~SpectraEngine();
    SpectraEngine(const SpectraEngine&) = delete;
    SpectraEngine& operator=(const SpectraEngine&) = delete;

    // peaks[j][i] for dampingRatios[j] and periods[i], i >= 1; peaks[j][0] is
    // zero (period 0 is not an oscillator). Returns false, leaving `peaks` as it
    // was, when the series is empty (or missing). NaN peaks mark an oscillator
    // that could not be integrated: its SubStepCount is 0, or its state ended
    // infinite or NaN (ComputePeakResponse would return the peaks it saw
    // before). Callers check for non-finite results.
    bool Compute(const SpectraInput& input, const DOUBLEVECTOR& dampingRatios,
                 const DOUBLEVECTOR& periods, std::vector<std::vector<PeakResponse>>& peaks);

    unsigned ThreadCount() const;

    // Chooses the instruction set (for tests and measurements); false, and no
    // change, when the processor cannot run it.
    bool SetVectorPath(VectorPath path);

    // The path Compute runs: never Automatic.
    VectorPath ActiveVectorPath() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl;
};
