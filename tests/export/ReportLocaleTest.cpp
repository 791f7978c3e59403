// Reports use '.' even when the process runs in a locale whose decimal
// separator is a comma, as the desktop program does once the toolkit has
// adopted the user's locale.
#include "export/SpectraReport.h"
#include "export/TimeHistoryReport.h"
#include "record/Integration.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

#include <stdlib.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

bool CommaLocaleActive() {
    const std::lconv* conventions = std::localeconv();
    return conventions != nullptr && std::string(conventions->decimal_point) == ",";
}

// Switches the process to a locale with a decimal comma: an installed one, or
// one compiled once for the test.
class CommaLocale : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"}) {
            if (std::setlocale(LC_ALL, name) != nullptr && CommaLocaleActive()) {
                localeName = name;
                std::setlocale(LC_ALL, "C");
                return;
            }
        }
        // A locale of the POSIX conventions but a decimal comma, compiled into a
        // temporary folder.
        if (::access("/usr/bin/localedef", X_OK) != 0) {
            return;
        }
        std::string pattern = (fs::temp_directory_path() / "vorsen-locale-XXXXXX").string();
        compiled = ::mkdtemp(pattern.data());
        {
            std::ofstream source(compiled + "/comma.def");
            for (const char* category :
                 {"LC_CTYPE", "LC_COLLATE", "LC_MONETARY", "LC_TIME", "LC_MESSAGES"}) {
                source << category << "\ncopy \"POSIX\"\nEND " << category << "\n";
            }
            source << "LC_NUMERIC\ndecimal_point \",\"\nthousands_sep \".\"\ngrouping 3;3\n"
                      "END LC_NUMERIC\n";
        }
        const std::string command = "localedef -i '" + compiled +
                                    "/comma.def' -f ANSI_X3.4-1968 '" + compiled +
                                    "/comma' >/dev/null 2>&1";
        [[maybe_unused]] const int status = std::system(command.c_str());
        ::setenv("LOCPATH", compiled.c_str(), 1);
        if (std::setlocale(LC_ALL, "comma") != nullptr && CommaLocaleActive()) {
            localeName = "comma";
        }
        std::setlocale(LC_ALL, "C");
    }
    static void TearDownTestSuite() {
        if (!compiled.empty()) {
            ::unsetenv("LOCPATH");
            fs::remove_all(compiled);
            compiled.clear();
        }
    }
    void SetUp() override {
        if (localeName.empty() || std::setlocale(LC_ALL, localeName.c_str()) == nullptr) {
            GTEST_SKIP() << "no locale with a decimal comma on this machine";
        }
    }
    void TearDown() override { std::setlocale(LC_ALL, "C"); }

    static inline std::string compiled;
    static inline std::string localeName;
};

TEST_F(CommaLocale, TimeHistoryReportKeepsThePoint) {
    TimeHistory record("EQ1.txt", 0.02);
    for (double a : {0.1, -0.2, 0.05}) {
        record.AddAcceleration(a);
    }
    IntegrateRecord(record, 980, false);
    record.SetIntegrated(true);
    const ReportLines lines = BuildTimeHistoryReport(record, SoftwareEditionText, {2018, 3, 4});
    EXPECT_EQ(lines.Line(9), "2,0.02000,-0.20000000,--,-0.98000000,--,0.00000000,--");
    EXPECT_EQ(lines.Line(10), "3,0.04000,0.05000000,--,-2.45000000,--,-0.04246667,--");
    EXPECT_TRUE(CommaLocaleActive()); // the process locale is left as it was
}

TEST_F(CommaLocale, SpectraReportKeepsThePoint) {
    TimeHistory record("EQ1.txt", 0.01);
    for (int i = 0; i < 100; ++i) {
        record.AddAcceleration(0.1 * ((i % 7) - 3));
    }
    IntegrateRecord(record, 980, false);
    record.SetIntegrated(true);
    SpectraEngine engine(1);
    const SpectraReportResult report = BuildSpectraReport(
        engine, record, AnalysisSettings{}, {0.025, 0.05}, {0.0, 0.25, 1.5}, "X", {2018, 3, 4});
    ASSERT_EQ(report.Lines.Count(), 11u);
    EXPECT_EQ(report.Lines.Line(7).substr(0, 40), "Period[sec],Disp.Damp.=2.5%,Disp.Damp.=5");
    const std::regex row("(-?[0-9]+\\.[0-9]{6},){11}");
    for (std::size_t i = 8; i < 11; ++i) {
        EXPECT_TRUE(std::regex_match(std::string(report.Lines.Line(i)), row))
            << report.Lines.Line(i);
    }
}

} // namespace
