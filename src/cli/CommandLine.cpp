#include "cli/CommandLine.h"

#include "import/FreeFormatReader.h"
#include "import/FreeTypeTexts.h"
#include "spectra/DampingAndPeriods.h"
#include "spectra/SpectraAnalysis.h"
#include "text/NumberText.h"

#include <algorithm>
#include <map>
#include <optional>
#include <utility>

namespace {

// Options of the record files, shared by every subcommand that reads records.
constexpr std::string_view FreeTypeOptionNames[] = {"--dt", "--scale", "--skip", "--delimiter",
                                                    "--column"};

std::optional<int> ParseCount(std::string_view text, int low, int high) {
    if (text.empty() || text.size() > 4) {
        return std::nullopt;
    }
    int value = 0;
    for (const char c : text) {
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

std::string FormatKeys() {
    std::string keys = "auto";
    for (const RecordFormat* format : RecordFormats()) {
        keys += "|" + std::string(format->Key());
    }
    return keys;
}

const CliOption* FindOption(std::string_view name) {
    for (const CliOption& option : CliOptions()) {
        if (option.Name == name) {
            return &option;
        }
    }
    return nullptr;
}

using OptionValues = std::map<std::string, std::string, std::less<>>;

const std::string* Value(const OptionValues& values, std::string_view name) {
    const auto found = values.find(name);
    return found == values.end() ? nullptr : &found->second;
}

std::optional<CliUsageError> ReadImportOptions(const OptionValues& values, CliJob& job) {
    FreeTypeParameters& parameters = job.Import.Options.FreeType;
    job.Import.Front = ImportFront::CommandLine;
    if (const std::string* given = Value(values, "--format")) {
        if (*given != "auto") {
            const RecordFormat* format = FindRecordFormat(*given);
            if (format == nullptr) {
                return CliUsageError{"--format takes " + FormatKeys() + ", not \"" + *given + "\""};
            }
            job.Import.Format = format->Id();
            if (format->Id() != RecordFormatId::FreeType) {
                for (const std::string_view name : FreeTypeOptionNames) {
                    if (Value(values, name) != nullptr) {
                        return CliUsageError{std::string(name) + " describes a Free Type file; a " +
                                             std::string(format->Name()) +
                                             " file states its own layout"};
                    }
                }
            }
        }
    }
    // The time step and the scaling factor, read as the import dialog reads them.
    FreeTypeTexts texts;
    const std::string* timeStep = Value(values, "--dt");
    const std::string* scalingFactor = Value(values, "--scale");
    texts.TimeStep = timeStep != nullptr ? *timeStep : "0.01";
    texts.ScalingFactor = scalingFactor != nullptr ? *scalingFactor : "1";
    const auto read = ReadFreeTypeParameters(texts, '.');
    if (const auto* failure = std::get_if<FreeTypeFailure>(&read)) {
        return CliUsageError{failure->Message};
    }
    parameters.TimeStep = std::get<FreeTypeParameters>(read).TimeStep;
    parameters.ScalingFactor = std::get<FreeTypeParameters>(read).ScalingFactor;
    if (const std::string* given = Value(values, "--skip")) {
        const std::optional<int> count = ParseCount(*given, 0, 100);
        if (!count) {
            return CliUsageError{"--skip takes a whole number from 0 to 100, not \"" + *given +
                                 "\""};
        }
        parameters.LinesToSkip = *count;
    }
    if (const std::string* given = Value(values, "--column")) {
        const std::optional<int> column = ParseCount(*given, 1, 100);
        if (!column) {
            return CliUsageError{"--column takes a whole number from 1 to 100, not \"" + *given +
                                 "\""};
        }
        parameters.AccelerationColumn = *column;
    }
    if (const std::string* given = Value(values, "--delimiter")) {
        if (*given == "comma") {
            parameters.Delimiter = FieldDelimiter::Comma;
        } else if (*given == "space") {
            parameters.Delimiter = FieldDelimiter::Space;
        } else {
            return CliUsageError{"--delimiter takes comma or space, not \"" + *given + "\""};
        }
    }
    return std::nullopt;
}

std::optional<CliUsageError> ReadProcessingOptions(const OptionValues& values, CliJob& job) {
    if (const std::string* given = Value(values, "--baseline")) {
        if (*given == "none") {
            job.Baseline = BaselineCorrection::None;
        } else if (*given == "linear") {
            job.Baseline = BaselineCorrection::Linear;
        } else if (*given == "parabolic") {
            job.Baseline = BaselineCorrection::Parabolic;
        } else {
            return CliUsageError{"--baseline takes none, linear or parabolic, not \"" + *given +
                                 "\""};
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
        if (const std::string* given = Value(values, name)) {
            *field = *given;
        }
    }
    if (const std::string* given = Value(values, "--method")) {
        if (*given == "exact") {
            settingsTexts.Method = SolverMethod::PiecewiseExact;
        } else if (*given == "newmark") {
            settingsTexts.Method = SolverMethod::Newmark;
        } else {
            return CliUsageError{"--method takes exact or newmark, not \"" + *given + "\""};
        }
    }
    auto updated = UpdateAnalysisSettings(AnalysisSettings{}, settingsTexts, '.');
    if (const SettingsFailure* failure = std::get_if<SettingsFailure>(&updated)) {
        return CliUsageError{failure->Message};
    }
    job.Settings = std::get<AnalysisSettings>(updated);
    job.Import.Options.Gravity = job.Settings.Gravity;

    if (job.Command->Report == CliReport::Spectra) {
        // The damping fields, read as the spectra page reads them.
        const std::string* given = Value(values, "--damping");
        const std::vector<std::string> dampingTexts =
            SplitAtCommas(given != nullptr ? *given : std::string("5"));
        if (dampingTexts.size() > 9) {
            return CliUsageError{"--damping takes 1 to 9 values, not " +
                                 std::to_string(dampingTexts.size())};
        }
        if (std::optional<DampingFailure> failure = ReadDampingRatios(
                job.DampingRatios, dampingTexts, static_cast<int>(dampingTexts.size()), '.')) {
            return CliUsageError{failure->Message};
        }
        DOUBLEVECTOR frequencies;
        PrepareSpectraGrid(job.Settings, job.DampingRatios, job.Periods, frequencies);
        if (std::optional<std::string> refusal =
                CheckSpectraInputs(job.Settings, job.DampingRatios)) {
            return CliUsageError{*refusal};
        }
    }
    if (const std::string* given = Value(values, "--threads")) {
        const std::optional<int> threads = ParseCount(*given, 1, 256);
        if (!threads) {
            return CliUsageError{"--threads takes a whole number from 1 to 256, not \"" + *given +
                                 "\""};
        }
        job.Threads = static_cast<unsigned>(*threads);
    }
    if (const std::string* given = Value(values, "--out")) {
        job.Folder = *given;
    }
    return std::nullopt;
}

} // namespace

const std::vector<CliOption>& CliOptions() {
    static const std::vector<CliOption> options = {
        {"--format", "F", "record file format, one of (auto):"},
        {"--dt", "S", "Free Type: time step in seconds (0.01)"},
        {"--scale", "F", "Free Type: file value x F = acceleration in g (1)"},
        {"--skip", "N", "Free Type: header lines to skip, 0 to 100 (0)"},
        {"--delimiter", "comma|space", "Free Type: field delimiter (comma)"},
        {"--column", "N", "Free Type: acceleration column, 1 to 100 (1)"},
        {"--baseline", "none|linear|parabolic", "baseline correction before the report (none)"},
        {"--damping", "P[,P...]", "damping values in percent, 1 to 9 of them (5)"},
        {"--min-period", "S", "first period of the grid in seconds (0.02)"},
        {"--max-period", "S", "end of the period grid in seconds (6)"},
        {"--period-step", "S", "step of the period grid in seconds (0.02)"},
        {"--method", "exact|newmark", "piecewise exact or Newmark's method (exact)"},
        {"--max-dt-over-t", "R", "largest integration sub-step / period (0.02)"},
        {"--beta", "B", "Newmark's beta, with --method newmark (0.25)"},
        {"--gamma", "G", "Newmark's gamma, with --method newmark (0.5)"},
        {"--gravity", "G", "gravitational acceleration in cm/s2 (980)"},
        {"--threads", "N", "threads of the analysis, 1 to 256 (the usable processors)"},
        {"--out", "DIR", "folder for the reports (.)"},
    };
    return options;
}

const std::vector<CliSubcommand>& CliSubcommands() {
    static const std::vector<CliSubcommand> commands = {
        {"th",
         "write <base>_TH.csv for each record",
         CliReport::TimeHistory,
         {"--format", "--dt", "--scale", "--skip", "--delimiter", "--column", "--baseline",
          "--gravity", "--out"}},
        {"rs",
         "write <base>_RS.csv for each record",
         CliReport::Spectra,
         {"--format", "--dt", "--scale", "--skip", "--delimiter", "--column", "--baseline",
          "--damping", "--min-period", "--max-period", "--period-step", "--method",
          "--max-dt-over-t", "--beta", "--gamma", "--gravity", "--threads", "--out"}},
    };
    return commands;
}

std::string CliUsageText() {
    std::string text;
    bool first = true;
    for (const CliSubcommand& command : CliSubcommands()) {
        std::string line = first ? "Usage: " : "       ";
        line += "vorsen-cli " + std::string(command.Name) + " [options] FILE...";
        line.resize(std::max<std::size_t>(line.size() + 3, 45), ' ');
        text += line + std::string(command.Summary) + "\n";
        first = false;
    }
    text += "       vorsen-cli --help\n\nOptions:\n";
    for (const CliOption& option : CliOptions()) {
        std::string line = "  " + std::string(option.Name) + " " + std::string(option.Value);
        if (line.size() >= 26) {
            text += line + "\n";
            line.clear();
        }
        line.resize(26, ' ');
        text += line + std::string(option.Help) + "\n";
        if (option.Name == "--format") {
            text += std::string(26, ' ') + FormatKeys() + "\n";
        }
    }
    text += "\nWhich subcommand takes which option:\n";
    for (const CliSubcommand& command : CliSubcommands()) {
        std::string line = "  " + std::string(command.Name) + ":";
        for (const std::string_view option : command.Options) {
            line += " " + std::string(option);
        }
        text += line + "\n";
    }
    text += "\n"
            "Formats: free (Free Type, the column layout the --dt ... --column options describe),\n"
            "peer (PEER NGA .AT2), knet (K-NET / KiK-net ASCII), cosmos (COSMOS V0/V1/V2),\n"
            "esm (ESM ASCII), smc (USGS SMC), geonet (GeoNet V1A/V2A: one record per component).\n"
            "A standard file read with --format free is refused.\n"
            "\n"
            "Options may also be written --name=value and may come before or after the files.\n"
            "Numbers use '.' as the decimal separator, in the options and in the reports.\n"
            "The name of each written report goes to standard output; progress and\n"
            "failures go to standard error. A file whose report name an earlier file of the\n"
            "same call already wrote is refused (its report would replace the other).\n"
            "\n"
            "Exit status: 0 every file reported, 1 some file failed or standard output\n"
            "could not be written, 2 bad options.\n";
    return text;
}

std::variant<CliJob, CliUsageError> ParseCommandLine(const std::vector<std::string>& args) {
    std::string names;
    for (const CliSubcommand& command : CliSubcommands()) {
        names += (names.empty() ? "" : " or ") + std::string(command.Name);
    }
    if (args.empty()) {
        return CliUsageError{"no command given: " + names};
    }
    CliJob job;
    for (const CliSubcommand& command : CliSubcommands()) {
        if (command.Name == args[0]) {
            job.Command = &command;
        }
    }
    if (job.Command == nullptr) {
        return CliUsageError{"unknown command \"" + args[0] + "\": " + names};
    }

    OptionValues values;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            job.Files.push_back(arg);
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
        if (FindOption(name) == nullptr) {
            return CliUsageError{"unknown option " + name};
        }
        const std::vector<std::string_view>& taken = job.Command->Options;
        if (std::find(taken.begin(), taken.end(), name) == taken.end()) {
            return CliUsageError{"option " + name + " does not apply to " +
                                 std::string(job.Command->Name)};
        }
        if (!value) {
            if (i + 1 >= args.size()) {
                return CliUsageError{"option " + name + " needs a value"};
            }
            value = args[++i];
        }
        values[name] = *value;
    }
    if (std::optional<CliUsageError> error = ReadImportOptions(values, job)) {
        return *error;
    }
    if (std::optional<CliUsageError> error = ReadProcessingOptions(values, job)) {
        return *error;
    }
    if (job.Files.empty()) {
        return CliUsageError{"no record file given"};
    }
    return job;
}
