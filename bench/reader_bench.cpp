// Reading speed of every record format: a file of 1,000,000 samples in each
// layout (written once by bench/make_reader_files.py into a temporary folder)
// imported by the import command with its format chosen, i.e. loaded as lines,
// read into samples in g and integrated. Throughput in MB of file per second
// (bytes_per_second) and samples per second (items_per_second).

#include "import/RecordImport.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <stdlib.h>

namespace {

namespace fs = std::filesystem;

constexpr long SampleCount = 1000000;

// The folder of the generated files; made on first use, removed at exit.
const fs::path& Folder() {
    static const fs::path folder = [] {
        std::string pattern = (fs::temp_directory_path() / "vorsen-reader-bench-XXXXXX").string();
        const fs::path made = ::mkdtemp(pattern.data());
        const std::string command = "python3 '" VORSEN_SOURCE_DIR "/bench/make_reader_files.py' '" +
                                    made.string() + "' " + std::to_string(SampleCount);
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "reader_bench: %s failed\n", command.c_str());
        }
        std::atexit([] { fs::remove_all(Folder()); });
        return made;
    }();
    return folder;
}

void ReadFormat(benchmark::State& state, RecordFormatId format, const char* fileName) {
    const fs::path path = Folder() / fileName;
    if (!fs::exists(path)) {
        state.SkipWithError("the record file was not generated");
        return;
    }
    ImportRequest request;
    request.Format = format;
    std::size_t samples = 0;
    for (auto _ : state) {
        FileImport import = ImportRecordFile(path.string(), request);
        if (!import.Warning.empty()) {
            state.SkipWithError(import.Warning.c_str());
            return;
        }
        samples = 0;
        for (const auto& record : import.Records) {
            samples += static_cast<std::size_t>(record->Count());
        }
        benchmark::DoNotOptimize(import.Records.front()->GetDisplacement().back());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(fs::file_size(path)));
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * samples));
}

BENCHMARK_CAPTURE(ReadFormat, FreeType, RecordFormatId::FreeType, "record.txt")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadFormat, PeerNga, RecordFormatId::PeerNga, "record.AT2")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadFormat, Knet, RecordFormatId::Knet, "record.NS")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadFormat, Esm, RecordFormatId::Esm, "record.ACC.ASC")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadFormat, Cosmos, RecordFormatId::Cosmos, "record.v2")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadFormat, Smc, RecordFormatId::Smc, "record.smc")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadFormat, GeoNet, RecordFormatId::GeoNet, "20200101_000000_BNC1_20.V2A")
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
