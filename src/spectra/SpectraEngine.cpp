#include "spectra/SpectraEngine.h"

#include "spectra/CircularFrequency.h"
#include "spectra/SdofSolver.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <limits>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <type_traits>

#include <sched.h>

// How the engine keeps ComputePeakResponse's bits:
// - Every oscillator runs through exactly the operations of the one-oscillator
//   solver, in the same order, each rounded to double. Vector lanes are
//   independent, so a lane computes what the scalar code computes; nothing is
//   contracted into FMA (-ffp-contract=off, no FMA intrinsics) and no sum is
//   reassociated.
// - The excitation of a sub-step depends only on the record, the gravity and
//   the sub-step count n, so oscillators with equal n share it. For sub-step i
//   (1..n) of record step k it is formed as the solver forms it:
//   a_s = (i-1)*dag + g*x[k-1], a_e = i*dag + g*x[k-1], dag = g*(x[k]-x[k-1])/n.
//   (a_e of sub-step n is n*dag + g*x[k-1], which need not equal g*x[k], the
//   a_s of the next record step, so both are stored per sub-step.)
// - The absolute-acceleration peak is |num| / g with num = 2 xi omega v + omega² u
//   (piecewise exact) or a + a_e (Newmark). Correctly rounded division by |g|
//   is monotone and symmetric in sign, so the largest |num| divided once at the
//   end gives the same value as the largest of the quotients; FinishPeak keeps
//   the solver's answer for the cases where a quotient would be NaN.
// - Peaks start at 0 and are replaced only by a strictly greater magnitude
//   (x > m ? x : m), so NaN never enters a peak, as in the solver.
// - Which oscillators share a vector, which vectors share a loop (a task may
//   advance two small groups side by side, each with its own excitation) and
//   which thread runs a task change nothing in a lane's arithmetic.
// - One deliberate difference: an oscillator whose state is not finite at the
//   end (it overflowed, or a coefficient was infinite) gets NaN peaks, where
//   the solver returns whatever peaks it saw before (possibly zeros). For every
//   oscillator that stays finite the bits are the solver's.

// The vector helpers below take and return vectors by value. They are always
// inlined into the kernels of their own instruction set, so no call ever passes
// a vector across a function boundary and the ABI note does not apply.
#pragma GCC diagnostic ignored "-Wpsabi"

namespace {

#define VORSEN_ALWAYS_INLINE inline __attribute__((always_inline))

typedef double Double2 __attribute__((vector_size(16)));
typedef double Double4 __attribute__((vector_size(32)));
typedef double Double8 __attribute__((vector_size(64)));
typedef std::int64_t Int2 __attribute__((vector_size(16)));
typedef std::int64_t Int4 __attribute__((vector_size(32)));
typedef std::int64_t Int8 __attribute__((vector_size(64)));

template <class V> struct VectorTraits;
template <> struct VectorTraits<double> { static constexpr int Lanes = 1; };
template <> struct VectorTraits<Double2> {
    static constexpr int Lanes = 2;
    typedef Int2 Bits;
};
template <> struct VectorTraits<Double4> {
    static constexpr int Lanes = 4;
    typedef Int4 Bits;
};
template <> struct VectorTraits<Double8> {
    static constexpr int Lanes = 8;
    typedef Int8 Bits;
};

template <class V> VORSEN_ALWAYS_INLINE V Abs(const V& x) {
    if constexpr (std::is_same_v<V, double>) {
        return std::fabs(x);
    } else {
        typedef typename VectorTraits<V>::Bits Bits;
        constexpr std::int64_t magnitude = std::numeric_limits<std::int64_t>::max();
        return reinterpret_cast<V>(reinterpret_cast<Bits>(x) & magnitude);
    }
}

// The solver's peak update: replaced only by a strictly greater value.
template <class V> VORSEN_ALWAYS_INLINE V Peak(const V& candidate, const V& peak) {
    return candidate > peak ? candidate : peak;
}

constexpr std::ptrdiff_t MaxLanes = 8; // doubles a vector row holds; a pointer stride
// Sub-steps of excitation formed at once: 2 x 8 KB, next to the oscillators'
// coefficients and states in the first-level cache.
constexpr std::size_t ExcitationCapacity = 512;
// Vectors of oscillators a task advances over each excitation block: a
// multiple of both interleaving widths below.
constexpr std::size_t MaxVectorsPerTask = 24;
constexpr std::size_t TaskVectorMultiple = 12;
// Groups of at most this many vectors are too few to hide the latency of the
// recurrence (most of all Newmark's, which has a division in its chain) and
// are advanced two groups at once.
constexpr int MaxPartnerVectors = 3;

// Rows of one vector's block in the workspace, each MaxLanes doubles wide.
enum PiecewiseRow {
    PeA11,
    PeA12,
    PeA21,
    PeA22,
    PeB11,
    PeB12,
    PeB21,
    PeB22,
    PeTwoXiOmega,
    PeOmega2
};
enum NewmarkRow { NmKHat, NmA, NmB, NmC1, NmC2, NmC3, NmD1, NmD2, NmD3 };
enum StateRow { StU = 10, StV, StA, StPeakU, StPeakV, StPeakA, RowCount };
constexpr std::size_t VectorBlock = static_cast<std::size_t>(RowCount * MaxLanes); // doubles

struct Oscillator {
    double DampingRatio;
    double Period; // s
    std::uint32_t RatioIndex;
    std::uint32_t PeriodIndex;
    int SubSteps;
};

// Oscillators [First, First + Count) of the sorted list; all share SubSteps.
struct Group {
    std::size_t First = 0;
    std::size_t Count = 0;
    int SubSteps = 0;
};

constexpr int MaxPartners = 4;

// One piece of work: a group's oscillators and, for a small group, up to
// MaxPartners other small groups advanced one after another in the same loop,
// to hide the latency of the first group's recurrence.
struct Task {
    Group Own;
    Group Partners[MaxPartners];
    int PartnerCount = 0;
    double Cost = 0; // vectors x sub-steps, for handing out the largest first
};

struct TaskContext {
    const double* X = nullptr; // g
    std::size_t N = 0;
    double Dt = 0;
    double Gravity = 0;
    SolverMethod Method = SolverMethod::PiecewiseExact;
    double Beta = 0;
    double Gamma = 0;
    const Oscillator* Oscillators = nullptr;
    std::vector<std::vector<PeakResponse>>* Peaks = nullptr;
};

// One thread's buffers, allocated once with the engine.
struct Workspace {
    std::vector<double> Storage;
    double* First = nullptr;        // a_s (piecewise exact) or a_s - a_e (Newmark), cm/s²
    double* Second = nullptr;       // a_e, cm/s²
    double* PartnerFirst = nullptr; // the same for a task's partner group
    double* PartnerSecond = nullptr;
    double* Blocks = nullptr; // MaxVectorsPerTask blocks of VectorBlock doubles, 64-byte aligned

    Workspace() {
        Storage.resize(4 * ExcitationCapacity + MaxVectorsPerTask * VectorBlock + 8);
        auto address = reinterpret_cast<std::uintptr_t>(Storage.data());
        double* aligned = Storage.data() + ((64 - address % 64) % 64) / sizeof(double);
        Blocks = aligned;
        First = Blocks + MaxVectorsPerTask * VectorBlock;
        Second = First + ExcitationCapacity;
        PartnerFirst = Second + ExcitationCapacity;
        PartnerSecond = PartnerFirst + ExcitationCapacity;
    }
};

struct ExcitationCursor {
    std::size_t Step = 1; // record step k: from sample k-1 to sample k
    int SubStep = 1;      // i, 1 ... n
};

// Forms the excitation of the next sub-steps, at most ExcitationCapacity, and
// returns how many; 0 at the end of the record.
template <bool Newmark>
VORSEN_ALWAYS_INLINE std::size_t FillExcitation(const TaskContext& c, int n,
                                                ExcitationCursor& cursor, double* first,
                                                double* second) {
    const double g = c.Gravity;
    const double* x = c.X;
    std::size_t m = 0;
    while (m < ExcitationCapacity && cursor.Step < c.N) {
        const std::size_t k = cursor.Step;
        const double dag = g * (x[k] - x[k - 1]) / n;
        const double gx = g * x[k - 1];
        int i = cursor.SubStep;
        for (; i <= n && m < ExcitationCapacity; ++i, ++m) {
            const double as = (i - 1) * dag + gx;
            const double ae = i * dag + gx;
            first[m] = Newmark ? as - ae : as;
            second[m] = ae;
        }
        if (i > n) {
            cursor.Step = k + 1;
            cursor.SubStep = 1;
        } else {
            cursor.SubStep = i;
        }
    }
    return m;
}

template <class V> VORSEN_ALWAYS_INLINE V LoadRow(const double* block, int row) {
    if constexpr (std::is_same_v<V, double>) {
        return block[row * MaxLanes];
    } else {
        return *reinterpret_cast<const V*>(block + row * MaxLanes);
    }
}

template <class V> VORSEN_ALWAYS_INLINE void StoreRow(double* block, int row, const V& value) {
    if constexpr (std::is_same_v<V, double>) {
        block[row * MaxLanes] = value;
    } else {
        *reinterpret_cast<V*>(block + row * MaxLanes) = value;
    }
}

// KA vectors driven by one excitation and KB vectors (of another group) driven
// by a second one, over `count` sub-steps; KB = 0 for one group. The blocks of
// each set lie one after another.
template <class V, int KA, int KB>
VORSEN_ALWAYS_INLINE void
AdvancePiecewiseExact(double* blocksA, const double* firstA, const double* secondA, double* blocksB,
                      const double* firstB, const double* secondB, std::size_t count) {
    constexpr int K = KA + KB;
    V a11[K], a12[K], a21[K], a22[K], b11[K], b12[K], b21[K], b22[K], twoXiOmega[K], omega2[K];
    V u[K], v[K], peakU[K], peakV[K], peakA[K];
    auto block = [&](int q) {
        return q < KA ? blocksA + q * VectorBlock : blocksB + (q - KA) * VectorBlock;
    };
    for (int q = 0; q < K; ++q) {
        const double* b = block(q);
        a11[q] = LoadRow<V>(b, PeA11);
        a12[q] = LoadRow<V>(b, PeA12);
        a21[q] = LoadRow<V>(b, PeA21);
        a22[q] = LoadRow<V>(b, PeA22);
        b11[q] = LoadRow<V>(b, PeB11);
        b12[q] = LoadRow<V>(b, PeB12);
        b21[q] = LoadRow<V>(b, PeB21);
        b22[q] = LoadRow<V>(b, PeB22);
        twoXiOmega[q] = LoadRow<V>(b, PeTwoXiOmega);
        omega2[q] = LoadRow<V>(b, PeOmega2);
        u[q] = LoadRow<V>(b, StU);
        v[q] = LoadRow<V>(b, StV);
        peakU[q] = LoadRow<V>(b, StPeakU);
        peakV[q] = LoadRow<V>(b, StPeakV);
        peakA[q] = LoadRow<V>(b, StPeakA);
    }
    for (std::size_t m = 0; m < count; ++m) {
        const double asA = firstA[m];
        const double aeA = secondA[m];
        double asB = 0;
        double aeB = 0;
        if constexpr (KB > 0) {
            asB = firstB[m];
            aeB = secondB[m];
        }
#pragma GCC unroll 8
        for (int q = 0; q < K; ++q) {
            const double as = q < KA ? asA : asB;
            const double ae = q < KA ? aeA : aeB;
            const V uNew = a11[q] * u[q] + a12[q] * v[q] + b11[q] * as + b12[q] * ae;
            const V vNew = a21[q] * u[q] + a22[q] * v[q] + b21[q] * as + b22[q] * ae;
            const V num = twoXiOmega[q] * vNew + omega2[q] * uNew;
            peakU[q] = Peak(Abs(uNew), peakU[q]);
            peakV[q] = Peak(Abs(vNew), peakV[q]);
            peakA[q] = Peak(Abs(num), peakA[q]);
            u[q] = uNew;
            v[q] = vNew;
        }
    }
    for (int q = 0; q < K; ++q) {
        double* b = block(q);
        StoreRow<V>(b, StU, u[q]);
        StoreRow<V>(b, StV, v[q]);
        StoreRow<V>(b, StPeakU, peakU[q]);
        StoreRow<V>(b, StPeakV, peakV[q]);
        StoreRow<V>(b, StPeakA, peakA[q]);
    }
}

// KA vectors driven by one excitation and KB vectors (of another group) driven
// by a second one, over `count` sub-steps; KB = 0 for one group.
template <class V, int KA, int KB>
VORSEN_ALWAYS_INLINE void
AdvanceNewmark(double* blocksA, const double* firstA, const double* secondA, double* blocksB,
               const double* firstB, const double* secondB, std::size_t count) {
    constexpr int K = KA + KB;
    V kHat[K], fa[K], fb[K], c1[K], c2[K], c3[K], d1[K], d2[K], d3[K];
    V u[K], v[K], a[K], peakU[K], peakV[K], peakA[K];
    auto block = [&](int q) {
        return q < KA ? blocksA + q * VectorBlock : blocksB + (q - KA) * VectorBlock;
    };
    for (int q = 0; q < K; ++q) {
        const double* b = block(q);
        kHat[q] = LoadRow<V>(b, NmKHat);
        fa[q] = LoadRow<V>(b, NmA);
        fb[q] = LoadRow<V>(b, NmB);
        c1[q] = LoadRow<V>(b, NmC1);
        c2[q] = LoadRow<V>(b, NmC2);
        c3[q] = LoadRow<V>(b, NmC3);
        d1[q] = LoadRow<V>(b, NmD1);
        d2[q] = LoadRow<V>(b, NmD2);
        d3[q] = LoadRow<V>(b, NmD3);
        u[q] = LoadRow<V>(b, StU);
        v[q] = LoadRow<V>(b, StV);
        a[q] = LoadRow<V>(b, StA);
        peakU[q] = LoadRow<V>(b, StPeakU);
        peakV[q] = LoadRow<V>(b, StPeakV);
        peakA[q] = LoadRow<V>(b, StPeakA);
    }
    for (std::size_t m = 0; m < count; ++m) {
        const double loadA = firstA[m]; // a_s - a_e
        const double aeA = secondA[m];
        double loadB = 0;
        double aeB = 0;
        if constexpr (KB > 0) {
            loadB = firstB[m];
            aeB = secondB[m];
        }
#pragma GCC unroll 8
        for (int q = 0; q < K; ++q) {
            const double load = q < KA ? loadA : loadB;
            const double ae = q < KA ? aeA : aeB;
            const V dp = load + fa[q] * v[q] + fb[q] * a[q];
            const V du = dp / kHat[q];
            const V dv = c1[q] * du + c2[q] * v[q] + c3[q] * a[q];
            const V da = d1[q] * du + d2[q] * v[q] + d3[q] * a[q];
            const V uNew = u[q] + du;
            const V vNew = v[q] + dv;
            a[q] = a[q] + da;
            const V num = a[q] + ae;
            peakU[q] = Peak(Abs(uNew), peakU[q]);
            peakV[q] = Peak(Abs(vNew), peakV[q]);
            peakA[q] = Peak(Abs(num), peakA[q]);
            u[q] = uNew;
            v[q] = vNew;
        }
    }
    for (int q = 0; q < K; ++q) {
        double* b = block(q);
        StoreRow<V>(b, StU, u[q]);
        StoreRow<V>(b, StV, v[q]);
        StoreRow<V>(b, StA, a[q]);
        StoreRow<V>(b, StPeakU, peakU[q]);
        StoreRow<V>(b, StPeakV, peakV[q]);
        StoreRow<V>(b, StPeakA, peakA[q]);
    }
}

// Vectors advanced together: enough independent recurrences to hide the
// latency of one sub-step (Newmark's chain holds a division, so it needs more),
// few enough to keep most of their state in registers.
template <bool Newmark> constexpr int InterleavedVectors = Newmark ? 6 : 4;

template <class V, bool Newmark, int KA, int KB = 0>
VORSEN_ALWAYS_INLINE void AdvanceSet(double* blocksA, const double* firstA, const double* secondA,
                                     std::size_t count, double* blocksB = nullptr,
                                     const double* firstB = nullptr,
                                     const double* secondB = nullptr) {
    if constexpr (Newmark) {
        AdvanceNewmark<V, KA, KB>(blocksA, firstA, secondA, blocksB, firstB, secondB, count);
    } else {
        AdvancePiecewiseExact<V, KA, KB>(blocksA, firstA, secondA, blocksB, firstB, secondB, count);
    }
}

// The last vectors of a task, fewer than InterleavedVectors: `rest` of them.
template <class V, bool Newmark, int K>
VORSEN_ALWAYS_INLINE void AdvanceRest(double* blocks, std::size_t rest, const double* first,
                                      const double* second, std::size_t count) {
    if constexpr (K > 0) {
        if (rest == K) {
            AdvanceSet<V, Newmark, K>(blocks, first, second, count);
        } else {
            AdvanceRest<V, Newmark, K - 1>(blocks, rest, first, second, count);
        }
    }
}

template <class V, bool Newmark>
VORSEN_ALWAYS_INLINE void AdvanceVectors(double* blocks, std::size_t vectors, const double* first,
                                         const double* second, std::size_t count) {
    std::size_t done = 0;
    constexpr int together = InterleavedVectors<Newmark>;
    for (; done + together <= vectors; done += together) {
        AdvanceSet<V, Newmark, together>(blocks + done * VectorBlock, first, second, count);
    }
    AdvanceRest<V, Newmark, together - 1>(blocks + done * VectorBlock, vectors - done, first,
                                          second, count);
}

// SA from the largest |num|: |num| / |g| as the solver's |-num / g| or
// |num / g|, and 0 where the solver's quotients would all be 0 or NaN.
double FinishPeak(double largestNumerator, double gravity) {
    if (!(largestNumerator > 0)) {
        return 0;
    }
    const double quotient = largestNumerator / std::fabs(gravity);
    return std::isnan(quotient) ? 0 : quotient;
}

// Fills the coefficient rows and sets the state rows of the task's vectors to
// rest (zero, but Newmark's relative acceleration, which starts in equilibrium
// with the first sample); lanes past the last oscillator repeat it.
void PrepareLanes(const TaskContext& c, const Group& t, int lanes, double* blocks) {
    const std::size_t vectors = (t.Count + lanes - 1) / lanes;
    const double h = c.Dt / t.SubSteps; // s, as in the solver
    const double startAcceleration = NewmarkStartAcceleration(c.Gravity, c.X[0]); // cm/s²
    for (std::size_t vec = 0; vec < vectors; ++vec) {
        double* b = blocks + vec * VectorBlock;
        for (int lane = 0; lane < lanes; ++lane) {
            const std::size_t index = std::min(vec * lanes + lane, t.Count - 1);
            const Oscillator& o = c.Oscillators[t.First + index];
            const double xi = o.DampingRatio;
            const double omega = CircularFrequency(o.Period);
            double* column = b + lane;
            if (c.Method == SolverMethod::PiecewiseExact) {
                const PiecewiseExactCoefficientSet k = PiecewiseExactCoefficients(xi, h, omega);
                column[PeA11 * MaxLanes] = k.A11;
                column[PeA12 * MaxLanes] = k.A12;
                column[PeA21 * MaxLanes] = k.A21;
                column[PeA22 * MaxLanes] = k.A22;
                column[PeB11 * MaxLanes] = k.B11;
                column[PeB12 * MaxLanes] = k.B12;
                column[PeB21 * MaxLanes] = k.B21;
                column[PeB22 * MaxLanes] = k.B22;
                column[PeTwoXiOmega * MaxLanes] = 2 * xi * omega;
                column[PeOmega2 * MaxLanes] = omega * omega;
            } else {
                const NewmarkConstantSet k = NewmarkConstants(xi, h, omega, c.Beta, c.Gamma);
                column[NmKHat * MaxLanes] = k.KHat;
                column[NmA * MaxLanes] = k.A;
                column[NmB * MaxLanes] = k.B;
                column[NmC1 * MaxLanes] = k.C1;
                column[NmC2 * MaxLanes] = k.C2;
                column[NmC3 * MaxLanes] = k.C3;
                column[NmD1 * MaxLanes] = k.D1;
                column[NmD2 * MaxLanes] = k.D2;
                column[NmD3 * MaxLanes] = k.D3;
            }
            for (int row = StU; row < RowCount; ++row) {
                column[row * MaxLanes] = 0.0;
            }
            if (c.Method == SolverMethod::Newmark) {
                column[StA * MaxLanes] = startAcceleration;
            }
        }
    }
}

void StorePeaks(const TaskContext& c, const Group& t, int lanes, const double* blocks) {
    for (std::size_t index = 0; index < t.Count; ++index) {
        const double* column = blocks + (index / lanes) * VectorBlock + index % lanes;
        const Oscillator& o = c.Oscillators[t.First + index];
        PeakResponse& p = (*c.Peaks)[o.RatioIndex][o.PeriodIndex];
        // A state that overflowed or turned NaN never comes back to a finite
        // value, and the peaks skip NaN: report the oscillator as not finite
        // rather than as the peaks seen before it failed.
        const bool finite = std::isfinite(column[StU * MaxLanes]) &&
                            std::isfinite(column[StV * MaxLanes]) &&
                            std::isfinite(column[StA * MaxLanes]);
        if (!finite) {
            const double nan = std::numeric_limits<double>::quiet_NaN();
            p = PeakResponse{nan, nan, nan};
            continue;
        }
        p.SD = column[StPeakU * MaxLanes];
        p.SV = column[StPeakV * MaxLanes];
        p.SA = FinishPeak(column[StPeakA * MaxLanes], c.Gravity);
    }
}

template <class V> constexpr std::size_t VectorsOf(const Group& group) {
    constexpr std::size_t lanes = VectorTraits<V>::Lanes;
    return (group.Count + lanes - 1) / lanes;
}

// One group, excitation block by excitation block.
template <class V, bool Newmark>
VORSEN_ALWAYS_INLINE void RunGroup(const TaskContext& c, const Group& group, Workspace& w) {
    const std::size_t vectors = VectorsOf<V>(group);
    ExcitationCursor cursor;
    for (;;) {
        const std::size_t count =
            FillExcitation<Newmark>(c, group.SubSteps, cursor, w.First, w.Second);
        if (count == 0) {
            break;
        }
        AdvanceVectors<V, Newmark>(w.Blocks, vectors, w.First, w.Second, count);
    }
}

// Both groups of a paired task for `count` sub-steps: KA and KB vectors.
template <class V, bool Newmark, int KA, int KB>
VORSEN_ALWAYS_INLINE void AdvancePairAs(std::size_t vectorsA, std::size_t vectorsB, double* blocksA,
                                        const double* firstA, const double* secondA,
                                        double* blocksB, const double* firstB,
                                        const double* secondB, std::size_t count) {
    if constexpr (KA > 0 && KB > 0) {
        if (vectorsA == KA && vectorsB == KB) {
            AdvanceSet<V, Newmark, KA, KB>(blocksA, firstA, secondA, count, blocksB, firstB,
                                           secondB);
        } else if (vectorsB < KB) {
            AdvancePairAs<V, Newmark, KA, KB - 1>(vectorsA, vectorsB, blocksA, firstA, secondA,
                                                  blocksB, firstB, secondB, count);
        } else {
            AdvancePairAs<V, Newmark, KA - 1, MaxPartnerVectors>(
                vectorsA, vectorsB, blocksA, firstA, secondA, blocksB, firstB, secondB, count);
        }
    }
}

// A task of small groups: its own group shares the loop with its
// partners, one partner after the other; whichever runs longer finishes alone.
template <class V, bool Newmark>
VORSEN_ALWAYS_INLINE void RunPaired(const TaskContext& c, const Task& t, Workspace& w) {
    constexpr int lanes = VectorTraits<V>::Lanes;
    const std::size_t vectorsA = VectorsOf<V>(t.Own);
    double* blocksA = w.Blocks;
    double* blocksB = w.Blocks + MaxPartnerVectors * VectorBlock;
    int partner = 0;
    PrepareLanes(c, t.Partners[0], lanes, blocksB);
    std::size_t vectorsB = VectorsOf<V>(t.Partners[0]);
    ExcitationCursor cursorA, cursorB;
    std::size_t countA = 0, countB = 0, doneA = 0, doneB = 0;
    bool endA = false, endB = false;
    for (;;) {
        if (!endA && doneA == countA) {
            countA = FillExcitation<Newmark>(c, t.Own.SubSteps, cursorA, w.First, w.Second);
            doneA = 0;
            endA = countA == 0;
        }
        while (!endB && doneB == countB) {
            countB = FillExcitation<Newmark>(c, t.Partners[partner].SubSteps, cursorB,
                                             w.PartnerFirst, w.PartnerSecond);
            doneB = 0;
            if (countB == 0) {
                // This partner is done: the next one takes its place.
                StorePeaks(c, t.Partners[partner], lanes, blocksB);
                if (++partner == t.PartnerCount) {
                    endB = true;
                } else {
                    PrepareLanes(c, t.Partners[partner], lanes, blocksB);
                    vectorsB = VectorsOf<V>(t.Partners[partner]);
                    cursorB = ExcitationCursor{};
                }
            }
        }
        if (endA && endB) {
            break;
        }
        if (!endA && !endB) {
            const std::size_t m = std::min(countA - doneA, countB - doneB);
            AdvancePairAs<V, Newmark, MaxPartnerVectors, MaxPartnerVectors>(
                vectorsA, vectorsB, blocksA, w.First + doneA, w.Second + doneA, blocksB,
                w.PartnerFirst + doneB, w.PartnerSecond + doneB, m);
            doneA += m;
            doneB += m;
        } else if (!endA) {
            AdvanceVectors<V, Newmark>(blocksA, vectorsA, w.First + doneA, w.Second + doneA,
                                       countA - doneA);
            doneA = countA;
        } else {
            AdvanceVectors<V, Newmark>(blocksB, vectorsB, w.PartnerFirst + doneB,
                                       w.PartnerSecond + doneB, countB - doneB);
            doneB = countB;
        }
    }
}

template <class V>
VORSEN_ALWAYS_INLINE void RunTask(const TaskContext& c, const Task& t, Workspace& w) {
    constexpr int lanes = VectorTraits<V>::Lanes;
    PrepareLanes(c, t.Own, lanes, w.Blocks);
    const bool newmark = c.Method == SolverMethod::Newmark;
    if (t.PartnerCount > 0) {
        newmark ? RunPaired<V, true>(c, t, w) : RunPaired<V, false>(c, t, w);
    } else {
        newmark ? RunGroup<V, true>(c, t.Own, w) : RunGroup<V, false>(c, t.Own, w);
    }
    StorePeaks(c, t.Own, lanes, w.Blocks);
}

using TaskRunner = void (*)(const TaskContext&, const Task&, Workspace&);

void RunTaskScalar(const TaskContext& c, const Task& t, Workspace& w) {
    RunTask<double>(c, t, w);
}

#if defined(__x86_64__)
#define VORSEN_X86 1
void RunTaskSse2(const TaskContext& c, const Task& t, Workspace& w) {
    RunTask<Double2>(c, t, w);
}

__attribute__((target("avx2"))) void RunTaskAvx2(const TaskContext& c, const Task& t,
                                                 Workspace& w) {
    RunTask<Double4>(c, t, w);
}

__attribute__((target("avx512f"))) void RunTaskAvx512(const TaskContext& c, const Task& t,
                                                      Workspace& w) {
    RunTask<Double8>(c, t, w);
}
#endif

int LanesOf(VectorPath path) {
    switch (path) {
    case VectorPath::Sse2:
        return 2;
    case VectorPath::Avx2:
        return 4;
    case VectorPath::Avx512:
        return 8;
    default:
        return 1;
    }
}

TaskRunner RunnerOf(VectorPath path) {
#if VORSEN_X86
    switch (path) {
    case VectorPath::Sse2:
        return RunTaskSse2;
    case VectorPath::Avx2:
        return RunTaskAvx2;
    case VectorPath::Avx512:
        return RunTaskAvx512;
    default:
        break;
    }
#endif
    (void)path;
    return RunTaskScalar;
}

VectorPath WidestSupportedPath() {
    if (IsVectorPathSupported(VectorPath::Avx512)) {
        return VectorPath::Avx512;
    }
    if (IsVectorPathSupported(VectorPath::Avx2)) {
        return VectorPath::Avx2;
    }
    if (IsVectorPathSupported(VectorPath::Sse2)) {
        return VectorPath::Sse2;
    }
    return VectorPath::Scalar;
}

} // namespace

SpectraInput MakeSpectraInput(const TimeHistory& record, const AnalysisSettings& settings) {
    SpectraInput input;
    input.Series = &record.GetAccelerationSeries(record.IsCorrected());
    input.Dt = record.GetDt();
    input.Gravity = settings.Gravity;
    input.MaxDtOverT = settings.MaxDtOverT;
    input.Method = settings.Method != 0 ? SolverMethod::Newmark : SolverMethod::PiecewiseExact;
    input.Beta = settings.NewmarkBeta;
    input.Gamma = settings.NewmarkGamma;
    return input;
}

bool IsVectorPathSupported(VectorPath path) {
    switch (path) {
#if VORSEN_X86
    case VectorPath::Sse2: // part of x86-64
#endif
    case VectorPath::Automatic:
    case VectorPath::Scalar:
        return true;
#if VORSEN_X86
    case VectorPath::Avx2:
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2");
    case VectorPath::Avx512:
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx512f");
#endif
    default:
        return false;
    }
}

const char* VectorPathName(VectorPath path) {
    switch (path) {
    case VectorPath::Automatic:
        return "Automatic";
    case VectorPath::Scalar:
        return "Scalar";
    case VectorPath::Sse2:
        return "SSE2";
    case VectorPath::Avx2:
        return "AVX2";
    case VectorPath::Avx512:
        return "AVX-512";
    }
    return "?";
}

namespace {

// A whole number of at most 18 digits at the start of `text`, which it leaves
// after the digits; nothing when there are no digits or too many.
std::optional<std::uint64_t> ReadWholeNumber(std::string_view& text) {
    std::size_t length = 0;
    std::uint64_t value = 0;
    while (length < text.size() && text[length] >= '0' && text[length] <= '9') {
        if (length == 18) {
            return std::nullopt;
        }
        value = value * 10 + static_cast<std::uint64_t>(text[length] - '0');
        ++length;
    }
    if (length == 0) {
        return std::nullopt;
    }
    text.remove_prefix(length);
    return value;
}

} // namespace

unsigned UsableProcessorCount(unsigned affinityCount, std::string_view cpuMaxText) {
    unsigned count = std::max(1u, affinityCount);
    std::string_view rest = cpuMaxText;
    const std::optional<std::uint64_t> quota = ReadWholeNumber(rest);
    if (!quota || rest.empty() || rest.front() != ' ') {
        return count; // "max PERIOD", or not a quota
    }
    rest.remove_prefix(1);
    const std::optional<std::uint64_t> period = ReadWholeNumber(rest);
    if (!period || *period == 0 || !(rest.empty() || rest == "\n")) {
        return count;
    }
    const std::uint64_t granted = std::max<std::uint64_t>(1, (*quota + *period - 1) / *period);
    if (granted < count) {
        count = static_cast<unsigned>(granted);
    }
    return count;
}

unsigned UsableProcessorCount() {
    unsigned affinityCount = 0;
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0) {
        affinityCount = static_cast<unsigned>(CPU_COUNT(&set));
    } else {
        affinityCount = std::thread::hardware_concurrency();
    }
    std::ifstream in("/sys/fs/cgroup/cpu.max");
    const std::string cpuMax(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>{});
    return UsableProcessorCount(affinityCount, cpuMax);
}

struct SpectraEngine::Impl {
    unsigned threadCount = 1;
    VectorPath path = VectorPath::Scalar;
    std::mutex computeMutex; // one Compute at a time

    // The pool: threadCount - 1 workers; the calling thread is worker 0.
    std::vector<std::thread> workers;
    std::mutex poolMutex;
    std::condition_variable wake;
    std::condition_variable finished;
    std::uint64_t generation = 0;
    unsigned running = 0;
    bool stopping = false;

    // The current Compute's work, kept between calls for its capacity.
    std::vector<Oscillator> oscillators;
    std::vector<Task> tasks;
    std::vector<bool> taken; // PairSmallTasks' marks
    std::atomic<std::size_t> nextTask{0};
    TaskContext context;
    TaskRunner runner = RunTaskScalar;
    std::vector<Workspace> workspaces;

    explicit Impl(unsigned threads) {
        threadCount = threads != 0 ? threads : UsableProcessorCount();
        path = WidestSupportedPath();
        workspaces.resize(threadCount);
        for (unsigned index = 1; index < threadCount; ++index) {
            workers.emplace_back([this, index] { WorkerLoop(index); });
        }
    }

    ~Impl() {
        {
            std::lock_guard<std::mutex> lock(poolMutex);
            stopping = true;
        }
        wake.notify_all();
        for (std::thread& worker : workers) {
            worker.join();
        }
    }

    void Drain(unsigned index) {
        for (;;) {
            const std::size_t t = nextTask.fetch_add(1, std::memory_order_relaxed);
            if (t >= tasks.size()) {
                return;
            }
            runner(context, tasks[t], workspaces[index]);
        }
    }

    void WorkerLoop(unsigned index) {
        std::uint64_t seen = 0;
        std::unique_lock<std::mutex> lock(poolMutex);
        for (;;) {
            wake.wait(lock, [&] { return stopping || generation != seen; });
            if (stopping) {
                return;
            }
            seen = generation;
            lock.unlock();
            Drain(index);
            lock.lock();
            if (--running == 0) {
                finished.notify_one();
            }
        }
    }

    void RunTasks() {
        nextTask.store(0, std::memory_order_relaxed);
        if (workers.empty() || tasks.size() < 2) {
            Drain(0);
            return;
        }
        {
            std::lock_guard<std::mutex> lock(poolMutex);
            ++generation;
            running = static_cast<unsigned>(workers.size());
        }
        wake.notify_all();
        Drain(0);
        std::unique_lock<std::mutex> lock(poolMutex);
        finished.wait(lock, [&] { return running == 0; });
    }

    void BuildTasks(int lanes) {
        // Equal sub-step counts next to each other, the largest first.
        std::stable_sort(
            oscillators.begin(), oscillators.end(),
            [](const Oscillator& a, const Oscillator& b) { return a.SubSteps > b.SubSteps; });
        tasks.clear();
        std::size_t groupStart = 0;
        while (groupStart < oscillators.size()) {
            const int n = oscillators[groupStart].SubSteps;
            std::size_t groupEnd = groupStart;
            while (groupEnd < oscillators.size() && oscillators[groupEnd].SubSteps == n) {
                ++groupEnd;
            }
            const std::size_t width = static_cast<std::size_t>(lanes);
            const std::size_t vectors = (groupEnd - groupStart + width - 1) / width;
            // Pieces of equal size, rounded up to whole interleaved sets; the
            // last piece takes what is left.
            const std::size_t pieces = (vectors + MaxVectorsPerTask - 1) / MaxVectorsPerTask;
            std::size_t pieceVectors = (vectors + pieces - 1) / pieces;
            pieceVectors = std::min(MaxVectorsPerTask, (pieceVectors + TaskVectorMultiple - 1) /
                                                           TaskVectorMultiple * TaskVectorMultiple);
            for (std::size_t vectorStart = 0; vectorStart < vectors; vectorStart += pieceVectors) {
                const std::size_t taskVectors = std::min(pieceVectors, vectors - vectorStart);
                const std::size_t first = groupStart + vectorStart * width;
                const std::size_t count = std::min(taskVectors * width, groupEnd - first);
                Task task;
                task.Own = Group{first, count, n};
                task.Cost = static_cast<double>(n) * static_cast<double>(taskVectors);
                tasks.push_back(task);
            }
            groupStart = groupEnd;
        }
        PairSmallTasks(static_cast<std::size_t>(lanes));
        // The largest work first, so that no long task starts last.
        std::stable_sort(tasks.begin(), tasks.end(),
                         [](const Task& a, const Task& b) { return a.Cost > b.Cost; });
    }

    // Joins tasks of few vectors: the longest small task still alone
    // takes as partners the next ones whose sub-step counts, added up, do not
    // exceed its own, so that its loop always holds two groups. The tasks come
    // in order of decreasing sub-step count.
    void PairSmallTasks(std::size_t width) {
        auto small = [width](const Task& task) {
            return (task.Own.Count + width - 1) / width <=
                   static_cast<std::size_t>(MaxPartnerVectors);
        };
        taken.assign(tasks.size(), false);
        std::size_t kept = 0;
        for (std::size_t i = 0; i < tasks.size(); ++i) {
            if (taken[i]) {
                continue;
            }
            Task task = tasks[i];
            if (small(task)) {
                int left = task.Own.SubSteps;
                for (std::size_t j = i + 1; j < tasks.size() && task.PartnerCount < MaxPartners;
                     ++j) {
                    if (!taken[j] && small(tasks[j]) && tasks[j].Own.SubSteps <= left) {
                        taken[j] = true;
                        left -= tasks[j].Own.SubSteps;
                        task.Partners[task.PartnerCount++] = tasks[j].Own;
                        task.Cost += tasks[j].Cost;
                    }
                }
            }
            tasks[kept++] = task;
        }
        tasks.resize(kept);
    }
};

SpectraEngine::SpectraEngine(unsigned threads) : impl(std::make_unique<Impl>(threads)) {}

SpectraEngine::~SpectraEngine() = default;

unsigned SpectraEngine::ThreadCount() const {
    return impl->threadCount;
}

bool SpectraEngine::SetVectorPath(VectorPath path) {
    if (!IsVectorPathSupported(path)) {
        return false;
    }
    std::lock_guard<std::mutex> lock(impl->computeMutex);
    impl->path = path == VectorPath::Automatic ? WidestSupportedPath() : path;
    return true;
}

VectorPath SpectraEngine::ActiveVectorPath() const {
    return impl->path;
}

bool SpectraEngine::Compute(const SpectraInput& input, const DOUBLEVECTOR& dampingRatios,
                            const DOUBLEVECTOR& periods,
                            std::vector<std::vector<PeakResponse>>& peaks) {
    if (input.Series == nullptr || input.Series->empty()) {
        return false;
    }
    std::lock_guard<std::mutex> lock(impl->computeMutex);
    Impl& e = *impl;
    const std::size_t ratioCount = dampingRatios.size();
    const std::size_t periodCount = periods.size();
    peaks.resize(ratioCount);
    for (std::vector<PeakResponse>& row : peaks) {
        row.assign(periodCount, PeakResponse{});
    }
    const double nan = std::numeric_limits<double>::quiet_NaN();
    e.oscillators.clear();
    for (std::size_t i = 1; i < periodCount; ++i) {
        const int n = SubStepCount(input.Dt, periods[i], input.MaxDtOverT);
        for (std::size_t j = 0; j < ratioCount; ++j) {
            if (n == 0) {
                peaks[j][i] = PeakResponse{nan, nan, nan};
            } else {
                e.oscillators.push_back(Oscillator{dampingRatios[j], periods[i],
                                                   static_cast<std::uint32_t>(j),
                                                   static_cast<std::uint32_t>(i), n});
            }
        }
    }
    if (e.oscillators.empty() || input.Series->size() < 2) {
        return true; // no record step: every peak stays 0
    }
    e.BuildTasks(LanesOf(e.path));
    e.context.X = input.Series->data();
    e.context.N = input.Series->size();
    e.context.Dt = input.Dt;
    e.context.Gravity = input.Gravity;
    e.context.Method = input.Method;
    e.context.Beta = input.Beta;
    e.context.Gamma = input.Gamma;
    e.context.Oscillators = e.oscillators.data();
    e.context.Peaks = &peaks;
    e.runner = RunnerOf(e.path);
    e.RunTasks();
    e.context.Peaks = nullptr;
    return true;
}
