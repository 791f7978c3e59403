// A record of 1,000,000 samples (dt = 0.01 s, 2 h 47 min of motion) through the
// whole program, once: read from its file by the free-format reader,
// integrated, baseline-corrected (linear), analysed by the spectra engine into
// the store with the window's defaults (one damping value of 5 %, periods 0.02
// to 6 s in steps of 0.02 s), then both reports built and written into a
// temporary folder.
//
// Counters (seconds of wall time per step, megabytes = 2^20 bytes):
//   import_s, correct_s, analyse_s, th_report_s, rs_report_s
//   peak_MB          the process's largest resident set (getrusage ru_maxrss)
//                    over the whole run: what the 200 MB promise is about
//   peak_after_<step>_MB  the same figure right after each step, so that a
//                    rise shows which step raised the peak
//   start_MB         before the import: the program, its libraries and threads
//   th_file_MB, rs_file_MB  the sizes of the two reports written
// The record file is written before the measurement, line by line, so that it
// takes no memory of its own. The run fails (SkipWithError) when the peak
// exceeds 200 MB.

#include "export/ReportHeader.h"
#include "export/SpectraReport.h"
#include "export/TimeHistoryReport.h"
#include "import/FreeFormatReader.h"
#include "record/BaselineCorrection.h"
#include "record/Integration.h"
#include "spectra/AnalysisSettings.h"
#include "spectra/SpectraAnalysis.h"
#include "spectra/SpectraEngine.h"
#include "spectra/SpectraStore.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <stdlib.h>
#include <sys/resource.h>

namespace {

namespace fs = std::filesystem;

constexpr std::size_t SampleCount = 1000000;
constexpr double TimeStep = 0.01;    // s
constexpr double PeakMemoryMB = 200; // the promise

// The process's largest resident set so far, MB (Linux reports kilobytes).
double PeakResidentMB() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Band-limited noise around 2.5 Hz under a rise-plateau-decay envelope that
// repeats every 100,000 samples (a sequence of quakes), from a fixed seed:
// one sample per call, nothing stored.
class SyntheticMotion {
public:
    double Next() {
        const double pi = 3.141592653589793;
        const double omega = 2 * pi * 2.5; // rad/s
        const double zeta = 0.6;
        const double noise = std::sqrt(-2 * std::log(1 - Uniform())) *
                             std::cos(2 * pi * Uniform()) / std::sqrt(TimeStep);
        const double a = noise - 2 * zeta * omega * v - omega * omega * u;
        v += a * TimeStep;
        u += v * TimeStep;
        const double t = static_cast<double>(index++ % 100000) / 100000.0; // 0 ... 1
        const double envelope =
            t < 0.1 ? (t / 0.1) * (t / 0.1) : (t < 0.4 ? 1.0 : std::exp(-6 * (t - 0.4)));
        return (2 * zeta * omega * v + omega * omega * u) * envelope;
    }

private:
    double Uniform() {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(state >> 11) / 9007199254740992.0;
    }
    std::uint64_t state = 20240607;
    std::uint64_t index = 0;
    double u = 0;
    double v = 0;
};

// Writes the record file: one acceleration (g) per line, "0.000000", peak 0.35 g.
void WriteRecordFile(const fs::path& path) {
    double peak = 0;
    SyntheticMotion first;
    for (std::size_t i = 0; i < SampleCount; ++i) {
        peak = std::fmax(peak, std::fabs(first.Next()));
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    SyntheticMotion motion;
    for (std::size_t i = 0; i < SampleCount; ++i) {
        std::fprintf(file, "%.6f\n", 0.35 * motion.Next() / peak);
    }
    std::fclose(file);
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double FileMB(const fs::path& path) {
    std::error_code error;
    const auto size = fs::file_size(path, error);
    return error ? 0.0 : static_cast<double>(size) / (1024.0 * 1024.0);
}

void BM_LargeRecord(benchmark::State& state) {
    std::string pattern = (fs::temp_directory_path() / "vorsen-large-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const fs::path folder = pattern;
    const fs::path recordFile = folder / "large-record.txt";
    WriteRecordFile(recordFile);
    const AnalysisSettings settings; // the program's defaults
    const DOUBLEVECTOR dampingRatios{0.05};
    const ReportDate date{2026, 12, 10};
    SpectraEngine engine;
    const double startMB = PeakResidentMB();

    for (auto _ : state) {
        auto clock = std::chrono::steady_clock::now();
        ReadOutcome read = ReadRecordFile(recordFile.string(), FreeTypeParameters{});
        if (!read.Record) {
            state.SkipWithError(read.Warning.c_str());
            break;
        }
        TimeHistory& record = *read.Record;
        IntegrateRecord(record, settings.Gravity, false);
        record.SetIntegrated(true);
        state.counters["import_s"] = Seconds(clock);
        state.counters["peak_after_import_MB"] = PeakResidentMB();

        clock = std::chrono::steady_clock::now();
        const BaselineOutcome corrected =
            ApplyBaselineCorrection(record, settings.Gravity, BaselineCorrection::Linear);
        state.counters["correct_s"] = Seconds(clock);
        state.counters["peak_after_correct_MB"] = PeakResidentMB();
        if (corrected != BaselineOutcome::Recomputed) {
            state.SkipWithError("the correction failed");
            break;
        }

        clock = std::chrono::steady_clock::now();
        SpectraStore store;
        const SpectraOutcome analysed =
            AnalyzeIntoStore(engine, record, settings, dampingRatios, store);
        state.counters["analyse_s"] = Seconds(clock);
        state.counters["peak_after_analyse_MB"] = PeakResidentMB();
        if (analysed.Refusal || store.DisplacementCurves.size() != 1) {
            state.SkipWithError("the analysis was refused");
            break;
        }

        clock = std::chrono::steady_clock::now();
        if (auto failure =
                ExportTimeHistoryReport(record, SoftwareEditionText, date, folder.string())) {
            state.SkipWithError(failure->c_str());
            break;
        }
        state.counters["th_report_s"] = Seconds(clock);
        state.counters["peak_after_th_report_MB"] = PeakResidentMB();

        clock = std::chrono::steady_clock::now();
        const SpectraExportResult spectra =
            ExportSpectraReport(engine, record, settings, store.DampingRatios, store.Periods,
                                SoftwareEditionText, date, folder.string());
        if (spectra.Error) {
            state.SkipWithError(spectra.Error->c_str());
            break;
        }
        state.counters["rs_report_s"] = Seconds(clock);
        state.counters["peak_after_rs_report_MB"] = PeakResidentMB();
    }

    const double peakMB = PeakResidentMB();
    state.counters["start_MB"] = startMB;
    state.counters["peak_MB"] = peakMB;
    state.counters["th_file_MB"] = FileMB(folder / "large-record_TH.csv");
    state.counters["rs_file_MB"] = FileMB(folder / "large-record_RS.csv");
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    if (peakMB > PeakMemoryMB) {
        state.SkipWithError("peak resident memory above 200 MB");
    }
}

BENCHMARK(BM_LargeRecord)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
