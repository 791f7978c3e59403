// The command table and its parse, without starting vorsen-cli.
#include "cli/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Args = std::vector<std::string>;

struct RefusedCase {
    Args args;
    std::string message;
};

TEST(CommandLine, RefusesWhatASubcommandDoesNotTake) {
    const RefusedCase cases[] = {
        {{}, "no command given: th or rs"},
        {{"plot", "a.txt"}, "unknown command \"plot\": th or rs"},
        {{"th", "--damping", "150", "a.txt"}, "option --damping does not apply to th"},
        {{"th", "--method=newmark", "a.txt"}, "option --method does not apply to th"},
        {{"rs", "--bogus", "1", "a.txt"}, "unknown option --bogus"},
        {{"rs", "a.txt", "--dt"}, "option --dt needs a value"},
        {{"rs"}, "no record file given"},
        {{"th", "--format", "sac", "a.txt"},
         "--format takes auto|free|peer|knet|cosmos|esm|smc|geonet, not \"sac\""},
        {{"th", "--format", "peer", "--dt", "0.01", "a.AT2"},
         "--dt describes a Free Type file; a PEER NGA file states its own layout"},
        {{"rs", "--skip=4", "--format=knet", "a.NS"},
         "--skip describes a Free Type file; a K-NET / KiK-net file states its own layout"},
        {{"th", "--dt", "x", "a.txt"}, "\"x\" is not a valid floating number!"},
        {{"th", "--skip", "101", "a.txt"},
         "--skip takes a whole number from 0 to 100, not \"101\""},
        {{"rs", "--damping", "1,2,3,4,5,6,7,8,9,10", "a.txt"},
         "--damping takes 1 to 9 values, not 10"},
    };
    for (const RefusedCase& c : cases) {
        const auto parsed = ParseCommandLine(c.args);
        const CliUsageError* error = std::get_if<CliUsageError>(&parsed);
        ASSERT_NE(error, nullptr) << c.message;
        EXPECT_EQ(error->Message, c.message);
    }
}

TEST(CommandLine, ReadsTheOptionsOfEachSubcommand) {
    const auto th = ParseCommandLine(
        {"th", "x.txt", "--baseline=linear", "--gravity", "981", "--dt", "0.005", "--", "--y"});
    ASSERT_TRUE(std::holds_alternative<CliJob>(th));
    const CliJob& job = std::get<CliJob>(th);
    EXPECT_EQ(job.Command->Report, CliReport::TimeHistory);
    EXPECT_EQ(job.Files, (Args{"x.txt", "--y"}));
    EXPECT_EQ(job.Baseline, BaselineCorrection::Linear);
    EXPECT_EQ(job.Settings.Gravity, 981.0);
    EXPECT_EQ(job.Import.Options.Gravity, 981.0); // samples in cm/s² become g with it
    EXPECT_EQ(job.Import.Options.FreeType.TimeStep, 0.005);
    EXPECT_FALSE(job.Import.Format.has_value()); // auto: detect from each file
    EXPECT_EQ(job.Import.Front, ImportFront::CommandLine);
    EXPECT_TRUE(job.Periods.empty());

    const auto rs = ParseCommandLine({"rs", "--format", "peer", "--damping", "10,2,2", "a.AT2"});
    ASSERT_TRUE(std::holds_alternative<CliJob>(rs));
    const CliJob& spectra = std::get<CliJob>(rs);
    EXPECT_EQ(spectra.Command->Report, CliReport::Spectra);
    ASSERT_TRUE(spectra.Import.Format.has_value());
    EXPECT_EQ(*spectra.Import.Format, RecordFormatId::PeerNga);
    EXPECT_EQ(spectra.DampingRatios, (DOUBLEVECTOR{0.02, 0.1}));
    EXPECT_EQ(spectra.Periods.size(), 301u); // period 0, then 0.02 ... 6 s
}

TEST(CommandLine, FreeTypeOptionsGoWithFreeAndAuto) {
    for (const char* format : {"free", "auto"}) {
        const auto parsed =
            ParseCommandLine({"th", "--format", format, "--skip", "4", "--column", "2", "a"});
        ASSERT_TRUE(std::holds_alternative<CliJob>(parsed)) << format;
        EXPECT_EQ(std::get<CliJob>(parsed).Import.Options.FreeType.LinesToSkip, 4);
        EXPECT_EQ(std::get<CliJob>(parsed).Import.Options.FreeType.AccelerationColumn, 2);
    }
}

TEST(CommandLine, EveryOptionOfTheTableIsListedAndTaken) {
    const std::string usage = CliUsageText();
    for (const CliSubcommand& command : CliSubcommands()) {
        EXPECT_NE(usage.find("vorsen-cli " + std::string(command.Name) + " [options]"),
                  std::string::npos);
        for (const std::string_view option : command.Options) {
            bool known = false;
            for (const CliOption& entry : CliOptions()) {
                known = known || entry.Name == option;
            }
            EXPECT_TRUE(known) << option;
        }
    }
    for (const CliOption& option : CliOptions()) {
        EXPECT_NE(usage.find("  " + std::string(option.Name) + " "), std::string::npos)
            << option.Name;
    }
    EXPECT_NE(usage.find("auto|free|peer|knet|cosmos|esm|smc|geonet"), std::string::npos);
}

} // namespace
