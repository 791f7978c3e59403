#pragma once

// vorsen-cli's command line: a table of subcommands, each with the options it
// takes, and the parse of an argument list into a checked job. Qt-free and
// separate from the program's main so that it is tested without starting it.

#include "import/RecordImport.h"
#include "record/Timeserie.h"
#include "spectra/AnalysisSettings.h"

#include <string>
#include <string_view>
#include <variant>
#include <vector>

// What a subcommand writes.
enum class CliReport { TimeHistory, Spectra };

// One option of the table: its name with "--", the placeholder of its value
// and its line of help.
struct CliOption {
    std::string_view Name;
    std::string_view Value;
    std::string_view Help;
};

// One subcommand: its name, what it does, the options it takes.
struct CliSubcommand {
    std::string_view Name;
    std::string_view Summary;
    CliReport Report;
    std::vector<std::string_view> Options;
};

// Every option, in the order --help lists them.
const std::vector<CliOption>& CliOptions();
// Every subcommand, in the order --help lists them.
const std::vector<CliSubcommand>& CliSubcommands();

// Everything a run needs, checked.
struct CliJob {
    const CliSubcommand* Command = nullptr;
    ImportRequest Import;
    BaselineCorrection Baseline = BaselineCorrection::None;
    AnalysisSettings Settings;
    DOUBLEVECTOR DampingRatios;
    DOUBLEVECTOR Periods;
    std::string Folder = ".";
    unsigned Threads = 0; // 0 = the processors this process may use
    std::vector<std::string> Files;
};

// A bad command line: the message printed before the usage text.
struct CliUsageError {
    std::string Message;
};

// Parses the arguments after the program name. Options may be written
// "--name value" or "--name=value", before or after the files; "--" ends them.
std::variant<CliJob, CliUsageError> ParseCommandLine(const std::vector<std::string>& args);

// The --help text, built from the two tables.
std::string CliUsageText();
