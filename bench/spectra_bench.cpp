// Speed of a spectrum analysis: the one-oscillator solver called pair by pair
// on one thread (the reference) against SpectraEngine, which gives the same
// bits. Two records: (a) 4,000 samples at dt = 0.01 s, (b) 40,000 samples at
// dt = 0.005 s; nine damping ratios, the default period grid, both methods.
//
// Counters: substeps_per_s = oscillator sub-steps integrated per second;
// process_cpu_ms = CPU time of all the program's threads per analysis (on an
// otherwise idle machine the engine's wall time is about this divided by its
// threads; on a shared one the wall time also holds the neighbours' turns);
// x_reference = reference time / this benchmark's time (engine rows only; the
// reference row of the same case runs first). With --benchmark_repetitions=N
// the "_min" rows give the fastest repetition.

#include "record/Timeserie.h"
#include "spectra/AnalysisSettings.h"
#include "spectra/DampingAndPeriods.h"
#include "spectra/SdofSolver.h"
#include "spectra/SpectraEngine.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <ctime>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

// Ground motion of `count` samples (g): white noise from a fixed seed, filtered
// into a band around 2.5 Hz by a damped second-order filter, shaped by a rise,
// a strong-motion plateau and an exponential decay, scaled to a peak of 0.35 g.
std::unique_ptr<TimeHistory> SyntheticRecord(std::size_t count, double dt) {
    std::uint64_t state = 20240607;
    auto uniform = [&state] {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(state >> 11) / 9007199254740992.0;
    };
    const double pi = 3.141592653589793;
    const double omega = 2 * pi * 2.5; // rad/s, filter frequency
    const double zeta = 0.6;
    const double duration = count * dt;
    std::vector<double> motion(count);
    double u = 0, v = 0;
    for (std::size_t i = 0; i < count; ++i) {
        // Box-Muller normal noise
        const double noise =
            std::sqrt(-2 * std::log(1 - uniform())) * std::cos(2 * pi * uniform()) / std::sqrt(dt);
        const double a = noise - 2 * zeta * omega * v - omega * omega * u;
        v += a * dt;
        u += v * dt;
        const double t = i * dt / duration; // 0 ... 1
        const double envelope =
            t < 0.1 ? (t / 0.1) * (t / 0.1) : (t < 0.4 ? 1.0 : std::exp(-6 * (t - 0.4)));
        motion[i] = (2 * zeta * omega * v + omega * omega * u) * envelope;
    }
    double peak = 0;
    for (double x : motion) {
        peak = std::max(peak, std::fabs(x));
    }
    auto record = std::make_unique<TimeHistory>("synthetic.txt", dt);
    for (double x : motion) {
        record->AddAcceleration(0.35 * x / peak);
    }
    return record;
}

struct Case {
    std::unique_ptr<TimeHistory> record;
    DOUBLEVECTOR ratios;
    DOUBLEVECTOR periods;
    double substeps = 0; // per analysis
};

const Case& GetCase(int which) {
    static std::map<int, Case> cases;
    auto found = cases.find(which);
    if (found != cases.end()) {
        return found->second;
    }
    Case c;
    c.record = which == 0 ? SyntheticRecord(4000, 0.01) : SyntheticRecord(40000, 0.005);
    for (double percent : {2, 5, 7, 10, 15, 20, 25, 30, 40}) {
        c.ratios.push_back(percent / 100.0);
    }
    DOUBLEVECTOR frequencies;
    const AnalysisSettings defaults;
    BuildPeriodGrid(c.periods, frequencies, defaults.MinPeriod, defaults.MaxPeriod,
                    defaults.PeriodStep);
    for (std::size_t i = 1; i < c.periods.size(); ++i) {
        c.substeps += SubStepCount(c.record->GetDt(), c.periods[i], defaults.MaxDtOverT) *
                      static_cast<double>(c.record->Count() - 1) *
                      static_cast<double>(c.ratios.size());
    }
    return cases.emplace(which, std::move(c)).first->second;
}

// s of CPU used by every thread of this process so far.
double ProcessCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

AnalysisSettings SettingsFor(SolverMethod method) {
    AnalysisSettings settings;
    settings.Method = static_cast<std::int32_t>(method);
    return settings;
}

// Reference seconds per analysis, by case and method.
std::map<std::pair<int, int>, double>& ReferenceSeconds() {
    static std::map<std::pair<int, int>, double> seconds;
    return seconds;
}

void Reference(benchmark::State& state) {
    const int which = static_cast<int>(state.range(0));
    const auto method = static_cast<SolverMethod>(state.range(1));
    const Case& c = GetCase(which);
    const AnalysisSettings s = SettingsFor(method);
    double elapsed = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        double checksum = 0;
        for (double ratio : c.ratios) {
            for (std::size_t i = 1; i < c.periods.size(); ++i) {
                double sd = 0, sv = 0, sa = 0;
                ComputePeakResponse(*c.record, false, s.Gravity, s.MaxDtOverT, ratio, c.periods[i],
                                    method, s.NewmarkBeta, s.NewmarkGamma, sd, sv, sa);
                checksum += sd + sv + sa;
            }
        }
        benchmark::DoNotOptimize(checksum);
        elapsed += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    ReferenceSeconds()[{which, static_cast<int>(method)}] =
        elapsed / static_cast<double>(state.iterations());
    state.counters["substeps_per_s"] =
        benchmark::Counter(c.substeps, benchmark::Counter::kIsIterationInvariantRate);
}

void Engine(benchmark::State& state) {
    const int which = static_cast<int>(state.range(0));
    const auto method = static_cast<SolverMethod>(state.range(1));
    const unsigned threads = static_cast<unsigned>(state.range(2));
    const Case& c = GetCase(which);
    SpectraEngine engine(threads);
    const SpectraInput input = MakeSpectraInput(*c.record, SettingsFor(method));
    std::vector<std::vector<PeakResponse>> peaks;
    engine.Compute(input, c.ratios, c.periods, peaks); // threads started, buffers sized
    double elapsed = 0;
    const double cpuStart = ProcessCpuSeconds();
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        engine.Compute(input, c.ratios, c.periods, peaks);
        benchmark::DoNotOptimize(peaks.data());
        elapsed += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["process_cpu_ms"] =
        1e3 * (ProcessCpuSeconds() - cpuStart) / static_cast<double>(state.iterations());
    state.counters["substeps_per_s"] =
        benchmark::Counter(c.substeps, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["threads"] = engine.ThreadCount();
    const auto reference = ReferenceSeconds().find({which, static_cast<int>(method)});
    if (reference != ReferenceSeconds().end() && elapsed > 0) {
        state.counters["x_reference"] =
            reference->second / (elapsed / static_cast<double>(state.iterations()));
    }
    state.SetLabel(VectorPathName(engine.ActiveVectorPath()));
}

// The fastest repetition: on a shared machine the others measure the neighbours.
double Fastest(const std::vector<double>& values) {
    return *std::min_element(values.begin(), values.end());
}

// Arguments: case (0 = 4,000 samples at 0.01 s, 1 = 40,000 at 0.005 s),
// method (0 piecewise exact, 1 Newmark), threads (0 = one per core).
void Register() {
    for (int which : {0, 1}) {
        for (int method : {0, 1}) {
            const std::string name = std::string(which == 0 ? "a_4000x0.01" : "b_40000x0.005") +
                                     (method == 0 ? "/PiecewiseExact" : "/Newmark");
            benchmark::RegisterBenchmark(("Reference/" + name).c_str(), Reference)
                ->Args({which, method})
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime()
                ->MinTime(which == 0 ? 0.5 : 0.1)
                ->ComputeStatistics("min", Fastest);
            benchmark::RegisterBenchmark(("Engine/" + name + "/threads:1").c_str(), Engine)
                ->Args({which, method, 1})
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime()
                ->ComputeStatistics("min", Fastest);
            benchmark::RegisterBenchmark(("Engine/" + name + "/all_cores").c_str(), Engine)
                ->Args({which, method, 0})
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime()
                ->ComputeStatistics("min", Fastest);
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    Register();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
