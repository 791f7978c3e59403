#include "export/ReportWriter.h"
#include "export/ReportLines.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class TempFolder {
public:
    TempFolder() {
        std::string pattern = (fs::temp_directory_path() / "vorsen-writer-XXXXXX").string();
        path = ::mkdtemp(pattern.data());
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(path, ignored);
    }
    std::string File(const std::string& name) const { return path + "/" + name; }
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(path)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }
    std::string path;
};

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

TEST(ReportLines, KeepsLinesWholeAcrossBlocks) {
    // Lines of 300 kB fill a 1 MB block after three; the fourth starts a new one.
    ReportLines lines;
    std::vector<std::string> expected;
    for (int i = 0; i < 7; ++i) {
        expected.push_back(std::string(300000, static_cast<char>('a' + i)));
        lines.Add(expected.back());
    }
    lines.Add("");
    expected.push_back("");
    EXPECT_GT(lines.Blocks().size(), 1u);
    ASSERT_EQ(lines.Count(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(lines.Line(i), expected[i]) << i;
    }
    std::string text;
    for (const std::string& line : expected) {
        text += line + "\r\n";
    }
    EXPECT_EQ(lines.Text(), text);
    EXPECT_EQ(lines.ToVector(), expected);
}

TEST(WriteReportFile, WritesEveryLineWithCrLfAndNoByteOrderMark) {
    TempFolder folder;
    const std::string path = folder.File("EQ1_TH.csv");
    ASSERT_EQ(WriteReportFile(path, std::vector<std::string>{"a,b,", "", "1.5,"}), std::nullopt);
    EXPECT_EQ(ReadBytes(path), "a,b,\r\n\r\n1.5,\r\n");
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"EQ1_TH.csv"});
}

TEST(WriteReportFile, ReplacesAnExistingFile) {
    TempFolder folder;
    const std::string path = folder.File("A_TH.csv");
    WriteBytes(path, "an older, longer report\r\nwith two lines\r\n");
    ASSERT_EQ(WriteReportFile(path, std::vector<std::string>{"new"}), std::nullopt);
    EXPECT_EQ(ReadBytes(path), "new\r\n");
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"A_TH.csv"});
}

TEST(WriteReportFile, ReportsAMissingFolder) {
    TempFolder folder;
    const std::string path = folder.File("no-such-folder/x_TH.csv");
    EXPECT_EQ(WriteReportFile(path, std::vector<std::string>{"x"}),
              "Cannot create file \"" + path + "\". No such file or directory");
    EXPECT_TRUE(folder.Entries().empty());
}

TEST(WriteReportFile, LeavesAFolderInThePlaceOfTheReport) {
    TempFolder folder;
    const std::string path = folder.File("x_TH.csv");
    fs::create_directory(path);
    EXPECT_EQ(WriteReportFile(path, std::vector<std::string>{"x"}),
              "Cannot create file \"" + path + "\". Is a directory");
    EXPECT_TRUE(fs::is_directory(path));
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"x_TH.csv"});
}

TEST(WriteReportFile, LeavesTheOldFileInAReadOnlyFolder) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root writes into read-only folders; the refusing file system "
                        "below covers the same path";
    }
    TempFolder folder;
    const std::string path = folder.File("A_RS.csv");
    WriteBytes(path, "old\r\n");
    fs::permissions(folder.path, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(WriteReportFile(path, std::vector<std::string>{"new"}),
              "Cannot create file \"" + path + "\". Permission denied");
    fs::permissions(folder.path, fs::perms::owner_all);
    EXPECT_EQ(ReadBytes(path), "old\r\n");
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"A_RS.csv"});
}

TEST(WriteReportFile, LeavesAReadOnlyReportAlone) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root may write any file";
    }
    TempFolder folder;
    const std::string path = folder.File("A_TH.csv");
    WriteBytes(path, "old\r\n");
    fs::permissions(path, fs::perms::owner_read);
    EXPECT_EQ(WriteReportFile(path, std::vector<std::string>{"new"}),
              "Cannot create file \"" + path + "\". Permission denied");
    EXPECT_EQ(ReadBytes(path), "old\r\n");
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"A_TH.csv"});
}

// A file system that works like the real one up to a chosen step, then refuses
// it - after the temporary file exists.
enum class FailingStep { Write, Close, Replace };

class RefusingFileSystem : public PosixReportFileSystem {
public:
    RefusingFileSystem(FailingStep step, std::string reason) : step(step), reason(reason) {}

    std::optional<std::string> CreateTemporary(const std::string& folder,
                                               const std::string& fileName, int& handle,
                                               std::string& temporaryPath) override {
        auto result =
            PosixReportFileSystem::CreateTemporary(folder, fileName, handle, temporaryPath);
        created = temporaryPath;
        return result;
    }
    std::optional<std::string> Write(int handle, std::string_view bytes) override {
        if (step == FailingStep::Write) {
            // Part of the text reaches the disk before it fills up.
            PosixReportFileSystem::Write(handle, bytes.substr(0, bytes.size() / 2));
            return reason;
        }
        return PosixReportFileSystem::Write(handle, bytes);
    }
    std::optional<std::string> Close(int handle) override {
        auto result = PosixReportFileSystem::Close(handle);
        if (step == FailingStep::Close) {
            return reason;
        }
        return result;
    }
    std::optional<std::string> Replace(const std::string& from,
                                       const std::string& target) override {
        if (step == FailingStep::Replace) {
            return reason;
        }
        return PosixReportFileSystem::Replace(from, target);
    }

    std::string created;

private:
    FailingStep step;
    std::string reason;
};

struct RefusalCase {
    const char* label;
    FailingStep step;
    const char* reason;
};

class RefusedWrite : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(RefusedWrite, KeepsTheOldFileAndLeavesNoTemporaryFile) {
    const RefusalCase& c = GetParam();
    TempFolder folder;
    const std::string path = folder.File("EQ1_RS.csv");
    WriteBytes(path, "old report\r\n");
    RefusingFileSystem refusing(c.step, c.reason);

    std::vector<std::string> lines(2000, "0.020000,1.234567,2.345678,");
    EXPECT_EQ(WriteReportFile(path, lines, refusing),
              "Cannot create file \"" + path + "\". " + c.reason);
    EXPECT_FALSE(refusing.created.empty()); // the refusal came after the temporary existed
    EXPECT_FALSE(fs::exists(refusing.created));
    EXPECT_EQ(ReadBytes(path), "old report\r\n");
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"EQ1_RS.csv"});
}

INSTANTIATE_TEST_SUITE_P(
    Steps, RefusedWrite,
    ::testing::Values(RefusalCase{"diskFull", FailingStep::Write, "No space left on device"},
                      RefusalCase{"flush", FailingStep::Close, "Input/output error"},
                      RefusalCase{"rename", FailingStep::Replace, "Permission denied"}),
    [](const auto& info) { return std::string(info.param.label); });

} // namespace
