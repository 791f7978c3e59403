// vorsen-cli: batch reports on the same core as the desktop program.
//
//   vorsen-cli th [options] FILE...   writes <base>_TH.csv for each FILE
//   vorsen-cli rs [options] FILE...   writes <base>_RS.csv for each FILE
//
// Options are checked by the same functions, with the same messages, as the
// program's dialogs; each file is read, integrated, corrected and reported by
// the same core calls as in the program, so the reports are byte for byte
// those of the program (the report date aside). Exit status: 0 when every file
// was reported, 1 when any file failed, 2 for bad options.

#include "export/ReportHeader.h"
#include "export/SpectraReport.h"
#include "export/TimeHistoryReport.h"
#include "import/FreeFormatReader.h"
#include "record/BaselineCorrection.h"
#include "record/Integration.h"
#include "spectra/AnalysisSettings.h"
#include "spectra/DampingAndPeriods.h"
#include "spectra/SpectraAnalysis.h"
#include "spectra/SpectraEngine.h"
#include "text/NumberText.h"

#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace {

constexpr const char* UsageText =
    "Usage: vorsen-cli th [options] FILE...   write <base>_TH.csv for each FILE\n"
    "       vorsen-cli rs [options] FILE...   write <base>_RS.csv for each FILE\n"
    "       vorsen-cli --help\n"
    "\n"
    "Record files (as in the Input File Parameters dialog):\n"
    "  --dt S                  time step in seconds (0.01)\n"
    "  --scale F               scaling factor: file value x F = acceleration in g (1)\n"
    "  --skip N                header lines to skip, 0 to 100 (0)\n"
    "  --delimiter comma|space field delimiter (comma)\n"
    "  --column N              acceleration column, 1 to 100 (1)\n"
    "\n"
    "Processing:\n"
    "  --baseline none|linear|parabolic\n"
    "                          baseline correction before the report (none)\n"
    "  --damping P[,P...]      damping values in percent, 1 to 9 of them (5)\n"
    "  --min-period S          first period of the grid in seconds (0.02)\n"
    "  --max-period S          end of the period grid in seconds (6)\n"
    "  --period-step S         step of the period grid in seconds (0.02)\n"
    "  --method exact|newmark  piecewise exact or Newmark's method (exact)\n"
    "  --max-dt-over-t R       largest integration sub-step / period (0.02)\n"
    "  --beta B                Newmark's beta, with --method newmark (0.25)\n"
    "  --gamma G               Newmark's gamma, with --method newmark (0.5)\n"
    "  --gravity G             gravitational acceleration in cm/s2 (980)\n"
    "  --out DIR               folder for the reports (.)\n"
    "\n"
    "Options may also be written --name=value and may come before or after the files.\n"
    "Numbers use '.' as the decimal separator, in the options and in the reports.\n"
    "The name of each written report goes to standard output; progress and\n"
    "failures go to standard error.\n"
    "\n"
    "Exit status: 0 every file reported, 1 some file failed, 2 bad options.\n";

enum class Report { TimeHistory, Spectra };

// Everything a run needs, checked.
struct Job {
    Report report = Report::TimeHistory;
    FreeTypeParameters parameters;
    BaselineCorrection baseline = BaselineCorrection::None;
    AnalysisSettings settings;
    DOUBLEVECTOR dampingRatios;
    DOUBLEVECTOR periods;
    std::string folder = ".";
    std::vector<std::string> files;
};

// A bad command line: the message, then the usage text.
struct UsageError {
    std::string message;
};

const std::set<std::string, std::less<>> ValueOptions = {
    "--dt",      "--scale",      "--skip",       "--delimiter",   "--column", "--baseline",
    "--damping", "--min-period", "--max-period", "--period-step", "--method", "--max-dt-over-t",
    "--beta",    "--gamma",      "--gravity",    "--out"};

// A whole number in [low, high], digits only.
std::optional<int> ParseCount(std::string_view text, int low, int high) {
    if (text.empty() || text.size() > 4) {
        return std::nullopt;
    }
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    if (value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

std::vector<std::string> SplitAtCommas(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        parts.push_back(text.substr(start, comma - start));
        if (comma == std::string::npos) {
            return parts;
        }
        start = comma + 1;
    }
}

std::variant<Job, UsageError> ParseCommandLine(const std::vector<std::string>& args) {
    if (args.empty()) {
        return UsageError{"no command given: th or rs"};
    }
    Job job;
    if (args[0] == "th") {
        job.report = Report::TimeHistory;
    } else if (args[0] == "rs") {
        job.report = Report::Spectra;
    } else {
        return UsageError{"unknown command \"" + args[0] + "\": th or rs"};
    }

    std::map<std::string, std::string, std::less<>> values;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            job.files.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = arg;
        std::optional<std::string> value;
        if (const std::size_t equals = arg.find('='); equals != std::string::npos) {
            name = arg.substr(0, equals);
            value = arg.substr(equals + 1);
        }
        if (ValueOptions.count(name) == 0) {
            return UsageError{"unknown option " + name};
        }
        if (!value) {
            if (i + 1 >= args.size()) {
                return UsageError{"option " + name + " needs a value"};
            }
            value = args[++i];
        }
        values[name] = *value;
    }
    auto text = [&values](std::string_view name) -> const std::string* {
        const auto found = values.find(name);
        return found == values.end() ? nullptr : &found->second;
    };

    // Input File Parameters: the two numbers as the dialog converts them.
    for (const auto& [name, target] :
         {std::pair<const char*, double*>{"--dt", &job.parameters.TimeStep},
          std::pair<const char*, double*>{"--scale", &job.parameters.ScalingFactor}}) {
        if (const std::string* given = text(name)) {
            const std::optional<double> number = ParseNumber(*given, '.');
            if (!number) {
                return UsageError{NotAValidFloatingNumber(*given)};
            }
            *target = *number;
        }
    }
    if (const std::string* given = text("--skip")) {
        const std::optional<int> count = ParseCount(*given, 0, 100);
        if (!count) {
            return UsageError{"--skip takes a whole number from 0 to 100, not \"" + *given + "\""};
        }
        job.parameters.LinesToSkip = *count;
    }
    if (const std::string* given = text("--column")) {
        const std::optional<int> column = ParseCount(*given, 1, 100);
        if (!column) {
            return UsageError{"--column takes a whole number from 1 to 100, not \"" + *given +
                              "\""};
        }
        job.parameters.AccelerationColumn = *column;
    }
    if (const std::string* given = text("--delimiter")) {
        if (*given == "comma") {
            job.parameters.Delimiter = FieldDelimiter::Comma;
        } else if (*given == "space") {
            job.parameters.Delimiter = FieldDelimiter::Space;
        } else {
            return UsageError{"--delimiter takes comma or space, not \"" + *given + "\""};
        }
    }
    if (const std::string* given = text("--baseline")) {
        if (*given == "none") {
            job.baseline = BaselineCorrection::None;
        } else if (*given == "linear") {
            job.baseline = BaselineCorrection::Linear;
        } else if (*given == "parabolic") {
            job.baseline = BaselineCorrection::Parabolic;
        } else {
            return UsageError{"--baseline takes none, linear or parabolic, not \"" + *given + "\""};
        }
    }

    // Analysis Settings: the texts of the dialog's fields, checked by "Update".
    SettingsTexts settingsTexts = DefaultSettingsTexts();
    for (const auto& [name, field] :
         {std::pair<const char*, std::string*>{"--min-period", &settingsTexts.MinPeriod},
          {"--max-period", &settingsTexts.MaxPeriod},
          {"--period-step", &settingsTexts.PeriodStep},
          {"--max-dt-over-t", &settingsTexts.MaxDtOverT},
          {"--beta", &settingsTexts.Beta},
          {"--gamma", &settingsTexts.Gamma},
          {"--gravity", &settingsTexts.Gravity}}) {
        if (const std::string* given = text(name)) {
            *field = *given;
        }
    }
    if (const std::string* given = text("--method")) {
        if (*given == "exact") {
            settingsTexts.Method = SolverMethod::PiecewiseExact;
        } else if (*given == "newmark") {
            settingsTexts.Method = SolverMethod::Newmark;
        } else {
            return UsageError{"--method takes exact or newmark, not \"" + *given + "\""};
        }
    }
    auto updated = UpdateAnalysisSettings(AnalysisSettings{}, settingsTexts, '.');
    if (const SettingsFailure* failure = std::get_if<SettingsFailure>(&updated)) {
        return UsageError{failure->Message};
    }
    job.settings = std::get<AnalysisSettings>(updated);

    // The damping fields, read as the spectra page reads them.
    const std::vector<std::string> dampingTexts =
        SplitAtCommas(text("--damping") ? *text("--damping") : std::string("5"));
    if (dampingTexts.size() > 9) {
        return UsageError{"--damping takes 1 to 9 values, not " +
                          std::to_string(dampingTexts.size())};
    }
    if (std::optional<DampingFailure> failure = ReadDampingRatios(
            job.dampingRatios, dampingTexts, static_cast<int>(dampingTexts.size()), '.')) {
        return UsageError{failure->Message};
    }
    DOUBLEVECTOR frequencies;
    BuildPeriodGrid(job.periods, frequencies, job.settings.MinPeriod, job.settings.MaxPeriod,
                    job.settings.PeriodStep);
    SortAndDeduplicate(job.dampingRatios);
    if (job.report == Report::Spectra) {
        if (std::optional<std::string> refusal =
                CheckSpectraInputs(job.settings, job.dampingRatios)) {
            return UsageError{*refusal};
        }
    }

    if (const std::string* given = text("--out")) {
        job.folder = *given;
    }
    if (job.files.empty()) {
        return UsageError{"no record file given"};
    }
    return job;
}

void PrintError(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
}

// Reads, integrates, corrects and reports one file; true when its report was
// written without a failure.
bool ProcessFile(const Job& job, const std::string& path, SpectraEngine* engine) {
    ReadOutcome read = ReadRecordFile(path, job.parameters, '.');
    if (!read.Record) {
        PrintError(read.Warning);
        return false;
    }
    TimeHistory& record = *read.Record;
    const double gravity = job.settings.Gravity;
    IntegrateRecord(record, gravity, false);
    record.SetIntegrated(true);

    if (job.baseline != BaselineCorrection::None &&
        ApplyBaselineCorrection(record, gravity, job.baseline) == BaselineOutcome::Failed) {
        PrintError("FILE: " + record.GetName() + ", " + BaselineCorrectionFailedText);
        return false;
    }

    const ReportDate date = TodayReportDate();
    std::string fileName;
    bool ok = true;
    if (job.report == Report::TimeHistory) {
        fileName = TimeHistoryReportFileName(record.GetName());
        if (std::optional<std::string> error =
                ExportTimeHistoryReport(record, SoftwareEditionText, date, job.folder)) {
            PrintError(*error);
            return false;
        }
    } else {
        fileName = SpectraReportFileName(record.GetName());
        const SpectraExportResult result =
            ExportSpectraReport(*engine, record, job.settings, job.dampingRatios, job.periods,
                                SoftwareEditionText, date, job.folder);
        for (const std::string& message : result.Messages) {
            PrintError("FILE: " + record.GetName() + ", " + message);
            ok = false;
        }
        if (result.Error) {
            PrintError(*result.Error);
            return false;
        }
    }
    std::printf("%s\n", JoinReportPath(job.folder, fileName).c_str());
    std::fflush(stdout);
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    for (const std::string& arg : args) {
        if (arg == "--") {
            break;
        }
        if (arg == "--help" || arg == "-h") {
            std::fputs(UsageText, stdout);
            return 0;
        }
    }
    auto parsed = ParseCommandLine(args);
    if (const UsageError* error = std::get_if<UsageError>(&parsed)) {
        std::fprintf(stderr, "vorsen-cli: %s\n\n%s", error->message.c_str(), UsageText);
        return 2;
    }
    const Job& job = std::get<Job>(parsed);

    std::unique_ptr<SpectraEngine> engine;
    if (job.report == Report::Spectra) {
        engine = std::make_unique<SpectraEngine>(0); // every core
    }
    const std::size_t count = job.files.size();
    std::map<std::string, std::string> written; // report file name -> the file it came from
    int failures = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string& path = job.files[i];
        if (count > 1) {
            std::fprintf(stderr, "[%zu/%zu] %s\n", i + 1, count, path.c_str());
        }
        const std::string name = RecordNameFromPath(path);
        const std::string report = job.report == Report::TimeHistory
                                       ? TimeHistoryReportFileName(name)
                                       : SpectraReportFileName(name);
        if (!ProcessFile(job, path, engine.get())) {
            ++failures;
            continue;
        }
        const auto [earlier, fresh] = written.emplace(report, path);
        if (!fresh) {
            std::fprintf(stderr, "vorsen-cli: the report of %s replaced the one of %s\n",
                         path.c_str(), earlier->second.c_str());
            earlier->second = path;
        }
    }
    if (count > 1) {
        std::fprintf(stderr, "%zu of %zu files reported\n",
                     count - static_cast<std::size_t>(failures), count);
    }
    return failures == 0 ? 0 : 1;
}
