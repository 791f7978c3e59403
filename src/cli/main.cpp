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
// failed (or standard output could not be written), 2 for bad options.
//
// A batch goes on past each failure: a file that cannot be read or analysed
// (running out of memory included), a report name that an earlier file of the
// same call already wrote (refused, so no report is lost), a standard output
// that was closed or is full (SIGPIPE is ignored; the reports are still written).

#include "cli/CommandLine.h"
#include "export/ReportHeader.h"
#include "export/SpectraReport.h"
#include "export/TimeHistoryReport.h"
#include "import/RecordImport.h"
#include "record/BaselineCorrection.h"
#include "spectra/SpectraEngine.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace {

void PrintError(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
}

// Standard output: the names of the written reports. Its first failure is
// reported once; the run then ends with status 1.
class ReportNameOutput {
public:
    void Print(const std::string& line) {
        if (failed) {
            return;
        }
        if (std::fprintf(stdout, "%s\n", line.c_str()) < 0 || std::fflush(stdout) != 0) {
            Fail(errno);
        }
    }
    // Flushes and closes standard output; false when any write failed.
    bool Close() {
        if (!failed && std::fclose(stdout) != 0) {
            Fail(errno);
        }
        return !failed;
    }

private:
    void Fail(int error) {
        failed = true;
        std::fprintf(stderr, "vorsen-cli: cannot write to standard output: %s\n",
                     std::strerror(error));
    }
    bool failed = false;
};

// Corrects and reports one record; true when its report was written without a
// failure. `written` maps each report file name of this call to the file it
// came from: a second record with the same report name is refused.
bool ReportRecord(const CliJob& job, const std::string& path, TimeHistory& record,
                  SpectraEngine* engine, std::map<std::string, std::string>& written,
                  ReportNameOutput& output) {
    const std::string fileName = job.Command->Report == CliReport::TimeHistory
                                     ? TimeHistoryReportFileName(record.GetName())
                                     : SpectraReportFileName(record.GetName());
    if (const auto earlier = written.find(fileName); earlier != written.end()) {
        PrintError("vorsen-cli: " + path + " is not reported: its report " +
                   JoinReportPath(job.Folder, fileName) + " was already written from " +
                   earlier->second);
        return false;
    }
    const double gravity = job.Settings.Gravity;
    if (job.Baseline != BaselineCorrection::None &&
        ApplyBaselineCorrection(record, gravity, job.Baseline) == BaselineOutcome::Failed) {
        PrintError("FILE: " + record.GetName() + ", " + BaselineCorrectionFailedText);
        return false;
    }
    const ReportDate date = TodayReportDate();
    bool ok = true;
    if (job.Command->Report == CliReport::TimeHistory) {
        if (std::optional<std::string> error =
                ExportTimeHistoryReport(record, SoftwareEditionText, date, job.Folder)) {
            PrintError(*error);
            return false;
        }
    } else {
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
    written.emplace(fileName, path);
    output.Print(JoinReportPath(job.Folder, fileName));
    return ok;
}

int Run(const CliJob& job) {
    std::unique_ptr<SpectraEngine> engine;
    if (job.Command->Report == CliReport::Spectra) {
        engine = std::make_unique<SpectraEngine>(job.Threads);
    }
    ReportNameOutput output;
    const std::size_t count = job.Files.size();
    std::map<std::string, std::string> written; // report file name -> the file it came from
    int failures = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string& path = job.Files[i];
        if (count > 1) {
            std::fprintf(stderr, "[%zu/%zu] %s\n", i + 1, count, path.c_str());
        }
        FileImport import;
        try {
            import = ImportRecordFile(path, job.Import);
        } catch (const std::bad_alloc&) {
            PrintError("Not enough memory to read " + path);
            ++failures;
            continue;
        }
        if (!import.Warning.empty()) {
            PrintError(import.Warning);
            ++failures;
            continue;
        }
        bool ok = true;
        for (const std::unique_ptr<TimeHistory>& record : import.Records) {
            try {
                ok = ReportRecord(job, path, *record, engine.get(), written, output) && ok;
            } catch (const std::bad_alloc&) {
                PrintError("Not enough memory to analyse " + record->GetName());
                ok = false;
            }
        }
        if (!ok) {
            ++failures;
        }
    }
    if (count > 1) {
        std::fprintf(stderr, "%zu of %zu files reported\n",
                     count - static_cast<std::size_t>(failures), count);
    }
    const bool outputWritten = output.Close();
    return failures == 0 && outputWritten ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    // A closed standard output is a failed write, reported, not the end of the batch.
    std::signal(SIGPIPE, SIG_IGN);
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
