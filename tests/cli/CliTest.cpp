// Runs the built vorsen-cli (the one named by VORSEN_CLI, else the one this
// test was built with) on files written into a temporary folder, and checks
// exit codes, messages and the reports.
#include "export/ReportHeader.h"
#include "export/SpectraReport.h"
#include "export/TimeHistoryReport.h"
#include "import/FreeFormatReader.h"
#include "record/BaselineCorrection.h"
#include "record/Integration.h"
#include "spectra/DampingAndPeriods.h"
#include "spectra/SpectraEngine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Where the program's standard output goes.
enum class Output { File, ClosedPipe, Full };

struct RunResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* cli = std::getenv("VORSEN_CLI");
        program = cli != nullptr ? cli : VORSEN_CLI_PATH;
        ASSERT_TRUE(fs::is_regular_file(program)) << "vorsen-cli is missing: " << program;
        std::string pattern = (fs::temp_directory_path() / "vorsen-cli-XXXXXX").string();
        folder = ::mkdtemp(pattern.data());
    }
    void TearDown() override {
        if (!folder.empty()) {
            fs::remove_all(folder);
        }
    }

    std::string Path(const std::string& name) const { return folder + "/" + name; }

    void Write(const std::string& name, const std::string& text) const {
        std::ofstream out(Path(name), std::ios::binary);
        out << text;
    }

    // A small motion, one value per line, or "time,value" lines.
    void WriteMotion(const std::string& name, int count, bool twoColumns = false) const {
        std::string text;
        for (int i = 0; i < count; ++i) {
            const double t = i * 0.01;
            char line[64];
            const double a = 0.2 * std::exp(-0.6 * t) * std::sin(9.0 * t) + 0.003 + 0.001 * t;
            if (twoColumns) {
                std::snprintf(line, sizeof line, "%.2f,%.6f\n", t, a);
            } else {
                std::snprintf(line, sizeof line, "%.6f\n", a);
            }
            text += line;
        }
        Write(name, text);
    }

    // Runs the program in the temporary folder with `args`, its standard output
    // going to `output`, its address space limited to `addressSpace` bytes (0: no limit).
    RunResult Run(const std::vector<std::string>& args, Output output = Output::File,
                  rlim_t addressSpace = 0) const {
        const std::string outPath = Path(".stdout");
        const std::string errPath = Path(".stderr");
        int pipeEnds[2] = {-1, -1};
        if (output == Output::ClosedPipe && ::pipe(pipeEnds) != 0) {
            ADD_FAILURE() << "no pipe";
            return {};
        }
        const pid_t child = ::fork();
        if (child == 0) {
            if (::chdir(folder.c_str()) != 0) {
                ::_exit(127);
            }
            if (addressSpace != 0) {
                const rlimit limit{addressSpace, addressSpace};
                if (::setrlimit(RLIMIT_AS, &limit) != 0) {
                    ::_exit(127);
                }
            }
            int out = -1;
            if (output == Output::ClosedPipe) {
                ::close(pipeEnds[0]); // nobody reads: a write gets EPIPE (and SIGPIPE)
                out = pipeEnds[1];
            } else if (output == Output::Full) {
                out = ::open("/dev/full", O_WRONLY);
            } else {
                out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            }
            const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(out, 1);
            ::dup2(err, 2);
            std::vector<char*> argv;
            argv.push_back(const_cast<char*>(program.c_str()));
            for (const std::string& arg : args) {
                argv.push_back(const_cast<char*>(arg.c_str()));
            }
            argv.push_back(nullptr);
            ::execv(program.c_str(), argv.data());
            ::_exit(127);
        }
        if (output == Output::ClosedPipe) {
            ::close(pipeEnds[0]);
            ::close(pipeEnds[1]);
        }
        RunResult result;
        int status = 0;
        ::waitpid(child, &status, 0);
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.out = ReadFile(outPath);
        result.err = ReadFile(errPath);
        fs::remove(outPath);
        fs::remove(errPath);
        return result;
    }

    // The report files now in the folder.
    std::vector<std::string> Reports() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) {
            const std::string name = entry.path().filename().string();
            if (name.size() > 4 && name.substr(name.size() - 4) == ".csv") {
                names.push_back(name);
            }
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string program;
    std::string folder;
};

TEST_F(CliTest, HelpPrintsTheUsageAndSucceeds) {
    for (const auto& args :
         {std::vector<std::string>{"--help"}, std::vector<std::string>{"rs", "x.txt", "--help"}}) {
        const RunResult run = Run(args);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.out.rfind("Usage: vorsen-cli th [options] FILE...", 0), 0u) << run.out;
        EXPECT_NE(run.out.find("--max-dt-over-t"), std::string::npos);
        EXPECT_EQ(run.err, "");
    }
}

struct BadOptionCase {
    const char* label;
    std::vector<std::string> args;
    const char* message; // the text on standard error
};

class CliBadOptions : public CliTest, public ::testing::WithParamInterface<BadOptionCase> {};

TEST_P(CliBadOptions, ExitWithTwoAndTheUsage) {
    const BadOptionCase& c = GetParam();
    WriteMotion("EQ1.txt", 50);
    const RunResult run = Run(c.args);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("Usage: vorsen-cli"), std::string::npos);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(Reports().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliBadOptions,
    ::testing::Values(
        BadOptionCase{"noCommand", {}, "no command given"},
        BadOptionCase{"unknownCommand", {"xy", "EQ1.txt"}, "unknown command \"xy\""},
        BadOptionCase{"unknownOption", {"th", "--fast", "EQ1.txt"}, "unknown option --fast"},
        BadOptionCase{"missingValue", {"th", "EQ1.txt", "--dt"}, "option --dt needs a value"},
        BadOptionCase{"noFile", {"rs", "--damping", "5"}, "no record file given"},
        BadOptionCase{"timeStep",
                      {"th", "--dt", "0,01", "EQ1.txt"},
                      "\"0,01\" is not a valid floating number!"},
        BadOptionCase{
            "scale", {"th", "--scale=two", "EQ1.txt"}, "\"two\" is not a valid floating number!"},
        BadOptionCase{"skip", {"th", "--skip", "101", "EQ1.txt"}, "--skip takes a whole number"},
        BadOptionCase{
            "column", {"th", "--column", "0", "EQ1.txt"}, "--column takes a whole number"},
        BadOptionCase{"delimiter",
                      {"th", "--delimiter", "tab", "EQ1.txt"},
                      "--delimiter takes comma or space"},
        BadOptionCase{"baseline",
                      {"th", "--baseline", "cubic", "EQ1.txt"},
                      "--baseline takes none, linear or parabolic"},
        BadOptionCase{
            "method", {"rs", "--method", "euler", "EQ1.txt"}, "--method takes exact or newmark"},
        BadOptionCase{"dampingNotANumber",
                      {"rs", "--damping", "5,5%", "EQ1.txt"},
                      "\"5%\" is not a valid floating number!"},
        BadOptionCase{"dampingTooLarge",
                      {"rs", "--damping", "5,100", "EQ1.txt"},
                      "Damping Ratio must be less than 1!"},
        BadOptionCase{"tenDampings",
                      {"rs", "--damping", "1,2,3,4,5,6,7,8,9,10", "EQ1.txt"},
                      "--damping takes 1 to 9 values"},
        BadOptionCase{"maxPeriod",
                      {"rs", "--max-period", "0.02", "EQ1.txt"},
                      "Max. Period must be greater than Min. Period! "},
        BadOptionCase{"periodStep",
                      {"rs", "--min-period", "1", "--period-step", "5.5", "EQ1.txt"},
                      "periodstep must be less than [Max. Period - Min. Period] ! "},
        BadOptionCase{"maxDtOverT",
                      {"rs", "--max-dt-over-t", "0", "EQ1.txt"},
                      "Maximum dt/T  must be greater than zero! "},
        BadOptionCase{"gravity",
                      {"th", "--gravity", "-980", "EQ1.txt"},
                      "Gravitational acceleration must be greater than zero! "},
        BadOptionCase{"newmarkBeta",
                      {"rs", "--method", "newmark", "--beta", "x", "EQ1.txt"},
                      "\"x\" is not a valid floating number!"},
        BadOptionCase{"noThreads",
                      {"rs", "--threads", "0", "EQ1.txt"},
                      "--threads takes a whole number from 1 to 256, not \"0\""},
        BadOptionCase{"tooManyThreads",
                      {"rs", "--threads=257", "EQ1.txt"},
                      "--threads takes a whole number from 1 to 256, not \"257\""},
        BadOptionCase{"threadsOfTh",
                      {"th", "--threads", "2", "EQ1.txt"},
                      "option --threads does not apply to th"},
        BadOptionCase{"newmarkBetaZero",
                      {"rs", "--method", "newmark", "--beta", "0", "EQ1.txt"},
                      "Newmark's Beta must not be zero!"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(CliTest, BetaIsIgnoredWithThePiecewiseExactMethod) {
    // As in the settings dialog: beta and gamma are read only for Newmark.
    WriteMotion("EQ1.txt", 50);
    const RunResult run = Run({"rs", "EQ1.txt", "--beta", "x", "--gamma", "y"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(Reports(), std::vector<std::string>{"EQ1_RS.csv"});
}

// ---- the reports are the program's ----

struct SameReportCase {
    const char* label;
    std::vector<std::string> options;
    bool spectra;
    FreeTypeParameters parameters;
    BaselineCorrection baseline;
    AnalysisSettings settings;
    std::vector<std::string> damping;
    bool twoColumns;
};

AnalysisSettings Newmark() {
    AnalysisSettings settings;
    settings.Method = 1;
    settings.NewmarkBeta = 1.0 / 6.0;
    settings.NewmarkGamma = 0.5;
    settings.MinPeriod = 0.05;
    settings.MaxPeriod = 2;
    settings.PeriodStep = 0.05;
    return settings;
}

AnalysisSettings Gravity981() {
    AnalysisSettings settings;
    settings.Gravity = 981;
    return settings;
}

FreeTypeParameters TwoColumnsScaled() {
    FreeTypeParameters parameters;
    parameters.TimeStep = 0.02;
    parameters.ScalingFactor = 2;
    parameters.AccelerationColumn = 2;
    parameters.LinesToSkip = 1;
    return parameters;
}

class CliSameReport : public CliTest, public ::testing::WithParamInterface<SameReportCase> {};

TEST_P(CliSameReport, AsTheProgramWritesIt) {
    const SameReportCase& c = GetParam();
    WriteMotion("EQ1.txt", 300, c.twoColumns);
    std::vector<std::string> args = {c.spectra ? "rs" : "th", "EQ1.txt"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const RunResult run = Run(args);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const std::string reportName = c.spectra ? "EQ1_RS.csv" : "EQ1_TH.csv";
    EXPECT_EQ(run.out, "./" + reportName + "\n");

    // The program's steps: read, integrate, correct, build.
    ReadOutcome read = ReadRecordFile(Path("EQ1.txt"), c.parameters);
    ASSERT_TRUE(read.Record) << read.Warning;
    TimeHistory& record = *read.Record;
    IntegrateRecord(record, c.settings.Gravity, false);
    record.SetIntegrated(true);
    if (c.baseline != BaselineCorrection::None) {
        ASSERT_EQ(ApplyBaselineCorrection(record, c.settings.Gravity, c.baseline),
                  BaselineOutcome::Recomputed);
    }
    const ReportDate date = TodayReportDate();
    std::string expected;
    if (c.spectra) {
        DOUBLEVECTOR ratios, periods, frequencies;
        ASSERT_FALSE(ReadDampingRatios(ratios, c.damping, static_cast<int>(c.damping.size())));
        BuildPeriodGrid(periods, frequencies, c.settings.MinPeriod, c.settings.MaxPeriod,
                        c.settings.PeriodStep);
        SortAndDeduplicate(ratios);
        SpectraEngine engine(1);
        const SpectraReportResult report = BuildSpectraReport(engine, record, c.settings, ratios,
                                                              periods, SoftwareEditionText, date);
        ASSERT_FALSE(report.Refusal);
        expected = report.Lines.Text();
    } else {
        expected = BuildTimeHistoryReport(record, SoftwareEditionText, date).Text();
    }
    std::string actual = ReadFile(Path(reportName));
    // The date line may differ if the run crossed midnight; it has the same length.
    const std::size_t dateAt = expected.find("Report Time: ");
    ASSERT_NE(dateAt, std::string::npos);
    ASSERT_EQ(actual.size(), expected.size());
    actual.replace(dateAt, 21, expected.substr(dateAt, 21));
    EXPECT_EQ(actual, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliSameReport,
    ::testing::Values(
        SameReportCase{"timeHistory", {}, false, {}, BaselineCorrection::None, {}, {}, false},
        SameReportCase{"timeHistoryLinear",
                       {"--baseline", "linear"},
                       false,
                       {},
                       BaselineCorrection::Linear,
                       {},
                       {},
                       false},
        SameReportCase{"timeHistoryParabolicColumns",
                       {"--baseline=parabolic", "--dt", "0.02", "--scale", "2", "--column", "2",
                        "--skip", "1", "--gravity", "981"},
                       false,
                       TwoColumnsScaled(),
                       BaselineCorrection::Parabolic,
                       Gravity981(),
                       {},
                       true},
        SameReportCase{"spectraDefaults", {}, true, {}, BaselineCorrection::None, {}, {"5"}, false},
        SameReportCase{"spectraDampingsLinear",
                       {"--damping", "10,5,10,2.5", "--baseline", "linear"},
                       true,
                       {},
                       BaselineCorrection::Linear,
                       {},
                       {"10", "5", "10", "2.5"},
                       false},
        SameReportCase{"spectraNewmark",
                       {"--method", "newmark", "--beta", "0.166666666666667", "--min-period",
                        "0.05", "--max-period", "2", "--period-step", "0.05", "--damping", "0,20"},
                       true,
                       {},
                       BaselineCorrection::None,
                       Newmark(),
                       {"0", "20"},
                       false}),
    [](const auto& info) { return std::string(info.param.label); });

// ---- failures per file ----

TEST_F(CliTest, AFailingFileDoesNotStopTheOthers) {
    WriteMotion("A.txt", 80);
    Write("bad.txt", "0.1\nabc\n0.2\n");
    WriteMotion("C.txt", 60);
    const RunResult run = Run({"th", "A.txt", "bad.txt", "missing.txt", "C.txt"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(Reports(), (std::vector<std::string>{"A_TH.csv", "C_TH.csv"}));
    EXPECT_EQ(run.out, "./A_TH.csv\n./C_TH.csv\n");
    EXPECT_NE(run.err.find("FILE: bad.txt. ERROR Line: 2. ERROR: 'abc' is not a valid floating "
                           "point value\n"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("FILE : missing.txt , ERROR: Cannot open file \"missing.txt\". No such "
                           "file or directory\n"),
              std::string::npos)
        << run.err;
    // Progress for more than one file.
    EXPECT_NE(run.err.find("[1/4] A.txt\n"), std::string::npos);
    EXPECT_NE(run.err.find("[4/4] C.txt\n"), std::string::npos);
}

TEST_F(CliTest, OneFileShowsNoProgress) {
    WriteMotion("A.txt", 80);
    const RunResult run = Run({"rs", "A.txt", "--damping", "2,5,10"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(Reports(), std::vector<std::string>{"A_RS.csv"});
}

TEST_F(CliTest, ARefusedCorrectionFailsThatFile) {
    Write("zeros.txt", "0\n0\n0\n");
    WriteMotion("A.txt", 80);
    const RunResult run = Run({"th", "--baseline", "linear", "zeros.txt", "A.txt"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("FILE: zeros.txt, Base Line Correction Failed!\n"), std::string::npos)
        << run.err;
    EXPECT_EQ(Reports(), std::vector<std::string>{"A_TH.csv"});
}

TEST_F(CliTest, EmptyFileGetsTheSkipLineWarning) {
    Write("empty.txt", "");
    const RunResult run = Run({"rs", "empty.txt"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("FILE: empty.txt, WARNING: Skipline is too large, there is no data to "
                           "read!"),
              std::string::npos)
        << run.err;
}

TEST_F(CliTest, AnUnwritableFolderFailsEveryFile) {
    WriteMotion("A.txt", 40);
    WriteMotion("B.txt", 40);
    const RunResult run = Run({"rs", "A.txt", "B.txt", "--out", "no/such/folder"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("Cannot create file \"no/such/folder/A_RS.csv\". No such file or "
                           "directory"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("\"no/such/folder/B_RS.csv\""), std::string::npos);
    EXPECT_TRUE(Reports().empty());
}

struct SameReportNameCase {
    const char* label;
    std::vector<std::string> files; // the first has 40 samples, the second 70
    std::vector<std::string> options;
    const char* message;
};

class CliSameReportName : public CliTest,
                          public ::testing::WithParamInterface<SameReportNameCase> {};

TEST_P(CliSameReportName, TheSecondFileIsRefusedAndTheFirstReportKept) {
    const SameReportNameCase& c = GetParam();
    fs::create_directory(Path("out"));
    fs::create_directory(Path("d1"));
    fs::create_directory(Path("d2"));
    WriteMotion(c.files[0], 40);
    WriteMotion(c.files[1], 70);
    WriteMotion("other.txt", 50);
    std::vector<std::string> args = {"th", c.files[0], c.files[1], "other.txt", "--out=out"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const RunResult run = Run(args);
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("2 of 3 files reported\n"), std::string::npos) << run.err;
    const std::string first = fs::path(c.files[0]).stem().string() + "_TH.csv";
    EXPECT_EQ(run.out, "out/" + first + "\nout/other_TH.csv\n");
    const std::string report = ReadFile(Path("out/" + first));
    EXPECT_NE(report.find("\r\n40,0.39000,"), std::string::npos); // the first file's samples
    EXPECT_EQ(report.find("\r\n70,0.69000,"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliSameReportName,
    ::testing::Values(
        SameReportNameCase{"sameNameInTwoFolders",
                           {"d1/same.txt", "d2/same.txt"},
                           {},
                           "vorsen-cli: d2/same.txt is not reported: its report out/same_TH.csv "
                           "was already written from d1/same.txt\n"},
        SameReportNameCase{"sameBaseOtherExtension",
                           {"a.txt", "a.AT2"},
                           {"--format", "free"},
                           "vorsen-cli: a.AT2 is not reported: its report out/a_TH.csv was "
                           "already written from a.txt\n"}),
    [](const auto& info) { return std::string(info.param.label); });

struct FailedOutputCase {
    const char* label;
    Output output;
    const char* message;
};

class CliFailedOutput : public CliTest, public ::testing::WithParamInterface<FailedOutputCase> {};

TEST_P(CliFailedOutput, EveryReportIsWrittenAndTheFailureReported) {
    const FailedOutputCase& c = GetParam();
    for (const char* name : {"A.txt", "B.txt", "C.txt"}) {
        WriteMotion(name, 60);
    }
    for (const char* command : {"th", "rs"}) {
        const RunResult run = Run({command, "A.txt", "B.txt", "C.txt"}, c.output);
        EXPECT_EQ(run.exitCode, 1) << command << " (a signal gives -1)\n" << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        // Reported once, and the batch went on.
        EXPECT_EQ(run.err.find(c.message), run.err.rfind(c.message)) << run.err;
        EXPECT_NE(run.err.find("[3/3] C.txt\n"), std::string::npos) << run.err;
    }
    EXPECT_EQ(Reports(), (std::vector<std::string>{"A_RS.csv", "A_TH.csv", "B_RS.csv", "B_TH.csv",
                                                   "C_RS.csv", "C_TH.csv"}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliFailedOutput,
    ::testing::Values(
        FailedOutputCase{"closedPipe", Output::ClosedPipe,
                         "vorsen-cli: cannot write to standard output: Broken pipe\n"},
        FailedOutputCase{"fullDevice", Output::Full,
                         "vorsen-cli: cannot write to standard output: No space "
                         "left on device\n"}),
    [](const auto& info) { return std::string(info.param.label); });

// The offset of the first CR not followed by LF or LF not after CR; npos when none.
std::size_t FirstBareLineBreak(const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool bareLf = text[i] == '\n' && (i == 0 || text[i - 1] != '\r');
        const bool bareCr = text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n');
        if (bareLf || bareCr) {
            return i;
        }
    }
    return std::string::npos;
}

TEST_F(CliTest, ARecordNameWithLineBreaksKeepsTheReportLines) {
    for (const auto& [file, shown] : {std::pair<std::string, std::string>{"x\ny.txt", "x\\ny.txt"},
                                      {"p\rq.txt", "p\\rq.txt"}}) {
        WriteMotion(file, 30);
        for (const char* command : {"th", "rs"}) {
            const RunResult run = Run({command, file});
            EXPECT_EQ(run.exitCode, 0) << run.err;
            const std::string stem = file.substr(0, file.size() - 4);
            const std::string report =
                ReadFile(Path(stem + (std::string(command) == "th" ? "_TH.csv" : "_RS.csv")));
            EXPECT_NE(report.find("\r\nAcceleration TimeHistory SourceFile: " + shown + "\r\n"),
                      std::string::npos)
                << report.substr(0, 400);
            EXPECT_EQ(FirstBareLineBreak(report), std::string::npos);
        }
    }
}

TEST_F(CliTest, OneThreadWritesTheBytesOfTheDefault) {
    WriteMotion("A.txt", 900);
    fs::create_directory(Path("one"));
    fs::create_directory(Path("default"));
    const std::vector<std::string> grid = {"--damping", "0,2,5,20",        "--period-step",
                                           "0.01",      "--max-dt-over-t", "0.005"};
    std::vector<std::string> one = {"rs", "A.txt", "--out", "one", "--threads", "1"};
    std::vector<std::string> all = {"rs", "A.txt", "--out", "default"};
    one.insert(one.end(), grid.begin(), grid.end());
    all.insert(all.end(), grid.begin(), grid.end());
    ASSERT_EQ(Run(one).exitCode, 0);
    ASSERT_EQ(Run(all).exitCode, 0);
    const std::string report = ReadFile(Path("one/A_RS.csv"));
    EXPECT_GT(report.size(), 10000u);
    EXPECT_EQ(report, ReadFile(Path("default/A_RS.csv")));
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool AddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool AddressSanitizer = true;
#else
constexpr bool AddressSanitizer = false;
#endif
#else
constexpr bool AddressSanitizer = false;
#endif

struct OutOfMemoryCase {
    const char* label;
    rlim_t megabytes; // the address space the program may map
    const char* message;
};

class CliOutOfMemory : public CliTest, public ::testing::WithParamInterface<OutOfMemoryCase> {};

// About 2.4 million samples (19 MB of text): under 100 MB of address space
// their reading fails (it fails up to about 140 MB, the small files pass at
// 80 MB), under 300 MB their report (246 MB) does; the small files around them
// need little.
TEST_P(CliOutOfMemory, FailsThatFileAndTheBatchGoesOn) {
    if (AddressSanitizer) {
        GTEST_SKIP()
            << "AddressSanitizer's shadow memory does not fit under an address-space limit";
    }
    const OutOfMemoryCase& c = GetParam();
    {
        std::ofstream out(Path("huge.txt"), std::ios::binary);
        std::string block;
        for (int i = 0; i < 1000; ++i) {
            block += "0.0" + std::to_string(100000 + i) + "\n";
        }
        for (int i = 0; i < 2400; ++i) {
            out << block;
        }
    }
    WriteMotion("A.txt", 80);
    WriteMotion("C.txt", 60);
    const RunResult run =
        Run({"th", "A.txt", "huge.txt", "C.txt"}, Output::File, c.megabytes << 20);
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_NE(run.err.find(std::string("\n") + c.message + "\n[3/3] C.txt\n"), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("2 of 3 files reported\n"), std::string::npos) << run.err;
    // Nothing of the failed report is left, not even its temporary file.
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names,
              (std::vector<std::string>{"A.txt", "A_TH.csv", "C.txt", "C_TH.csv", "huge.txt"}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliOutOfMemory,
    ::testing::Values(OutOfMemoryCase{"whileReading", 100, "Not enough memory to read huge.txt"},
                      OutOfMemoryCase{"whileReporting", 300,
                                      "Not enough memory to analyse huge.txt"}),
    [](const auto& info) { return std::string(info.param.label); });

} // namespace

namespace {

std::string Fixture(const std::string& name) {
    return std::string(VORSEN_SOURCE_DIR) + "/tests/import/fixtures/" + name;
}

} // namespace

TEST_F(CliTest, StandardFilesAreReadInTheirFormatAndGiveAReportPerComponent) {
    const RunResult run =
        Run({"th", Fixture("peer-west2.AT2"), Fixture("20200102_030405_TST1_20.V2A")});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(Reports(),
              (std::vector<std::string>{"20200102_030405_TST1_20-S16W_TH.csv",
                                        "20200102_030405_TST1_20-S74E_TH.csv",
                                        "20200102_030405_TST1_20-Up_TH.csv", "peer-west2_TH.csv"}));
    // The PEER NGA file's own time step, 0.005 s: sample 2 at 0.01 s.
    EXPECT_NE(ReadFile(Path("peer-west2_TH.csv")).find("\r\n3,0.01000,"), std::string::npos);
}

TEST_F(CliTest, AStandardFileReadAsFreeTypeFailsWithoutAReport) {
    const RunResult run = Run({"rs", "--format", "free", Fixture("peer-west2.AT2")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "peer-west2.AT2 is a PEER NGA record: use --format peer (or auto).\n");
    EXPECT_TRUE(Reports().empty());
}

TEST_F(CliTest, FreeTypeOptionsWithAStandardFormatAreAUsageError) {
    const RunResult run = Run({"th", "--format", "peer", "--skip", "4", Fixture("peer-west2.AT2")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("--skip describes a Free Type file"), std::string::npos) << run.err;
    EXPECT_TRUE(Reports().empty());
}
