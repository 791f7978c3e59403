// vorsen-cli: batch reports on the same core as the desktop program.
//
//   vorsen-cli th [options] FILE...   writes <base>_TH.csv for each record
//   vorsen-cli rs [options] FILE...   writes <base>_RS.csv for each record
//
// The subcommands and their options are the table of cli/CommandLine. Options
// are checked by the same functions, with the same messages, as the program's
// dialogs; each file is imported, corrected and reported by the same core calls
// as in the program, so the reports are byte for byte those of the program
// (the report date aside). A file holding several components gives a report
// per component. Exit status: 0 when every file was reported, 1 when any file
// failed, 2 for bad options.

#include "cli/CommandLine.h"
#include "export/ReportHeader.h"
#include "export/SpectraReport.h"
#include "export/TimeHistoryReport.h"
#include "import/RecordImport.h"
#include "record/BaselineCorrection.h"
#include "spectra/SpectraEngine.h"

#include <cstdio>
#include <exception>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

void PrintError(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
}

// Corrects and reports one record; true when its report was written without a
// failure. `written` maps each report file name to the file it came from.
bool ReportRecord(const CliJob& job, const std::string& path, TimeHistory& record,
                  SpectraEngine* engine, std::map<std::string, std::string>& written) {
    const double gravity = job.Settings.Gravity;
    if (job.Baseline != BaselineCorrection::None &&
        ApplyBaselineCorrection(record, gravity, job.Baseline) == BaselineOutcome::Failed) {
        PrintError("FILE: " + record.GetName() + ", " + BaselineCorrectionFailedText);
        return false;
    }
    const ReportDate date = TodayReportDate();
    std::string fileName;
    bool ok = true;
    if (job.Command->Report == CliReport::TimeHistory) {
        fileName = TimeHistoryReportFileName(record.GetName());
        if (std::optional<std::string> error =
                ExportTimeHistoryReport(record, SoftwareEditionText, date, job.Folder)) {
            PrintError(*error);
            return false;
        }
    } else {
        fileName = SpectraReportFileName(record.GetName());
        const SpectraExportResult result =
            ExportSpectraReport(*engine, record, job.Settings, job.DampingRatios, job.Periods,
                                SoftwareEditionText, date, job.Folder);
        for (const std::string& message : result.Messages) {
            PrintError("FILE: " + record.GetName() + ", " + message);
            ok = false;
        }
        if (result.Error) {
            PrintError(*result.Error);
            return false;
        }
    }
    std::printf("%s\n", JoinReportPath(job.Folder, fileName).c_str());
    std::fflush(stdout);
    const auto [earlier, fresh] = written.emplace(fileName, path);
    if (!fresh) {
        std::fprintf(stderr, "vorsen-cli: the report of %s replaced the one of %s\n", path.c_str(),
                     earlier->second.c_str());
        earlier->second = path;
    }
    return ok;
}

int Run(const CliJob& job) {
    std::unique_ptr<SpectraEngine> engine;
    if (job.Command->Report == CliReport::Spectra) {
        engine = std::make_unique<SpectraEngine>(0); // every core
    }
    const std::size_t count = job.Files.size();
    std::map<std::string, std::string> written; // report file name -> the file it came from
    int failures = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string& path = job.Files[i];
        if (count > 1) {
            std::fprintf(stderr, "[%zu/%zu] %s\n", i + 1, count, path.c_str());
        }
        FileImport import = ImportRecordFile(path, job.Import);
        if (!import.Warning.empty()) {
            PrintError(import.Warning);
            ++failures;
            continue;
        }
        bool ok = true;
        for (const std::unique_ptr<TimeHistory>& record : import.Records) {
            ok = ReportRecord(job, path, *record, engine.get(), written) && ok;
        }
        if (!ok) {
            ++failures;
        }
    }
    if (count > 1) {
        std::fprintf(stderr, "%zu of %zu files reported\n",
                     count - static_cast<std::size_t>(failures), count);
    }
    return failures == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    try {
        std::vector<std::string> args(argv + 1, argv + argc);
        for (const std::string& arg : args) {
            if (arg == "--") {
                break;
            }
            if (arg == "--help" || arg == "-h") {
                std::fputs(CliUsageText().c_str(), stdout);
                return 0;
            }
        }
        auto parsed = ParseCommandLine(args);
        if (const CliUsageError* error = std::get_if<CliUsageError>(&parsed)) {
            std::fprintf(stderr, "vorsen-cli: %s\n\n%s", error->Message.c_str(),
                         CliUsageText().c_str());
            return 2;
        }
        return Run(std::get<CliJob>(parsed));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "vorsen-cli: %s\n", error.what());
        return 1;
    } catch (...) {
        std::fprintf(stderr, "vorsen-cli: an unexpected failure stopped the run\n");
        return 1;
    }
}
