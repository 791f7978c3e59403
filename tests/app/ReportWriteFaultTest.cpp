// Both export commands when a report cannot be written over an existing one:
// the old file stays as it was, no temporary file is left, the warning names
// the file and the reason, the export stops at that record and "Done!" is not
// shown. Files written before the failing one stay.
#include "app/Unit1.h"
#include "export/ReportWriter.h"
#include "support/FakePlatform.h"

#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<std::string> Entries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A decaying motion (g), one sample per line.
std::string Motion(int samples) {
    std::ostringstream text;
    for (int i = 0; i < samples; ++i) {
        text << 0.2 * std::exp(-0.05 * i) * std::sin(0.7 * i) << "\n";
    }
    return text.str();
}

enum class FailingStep { Write, Close, Replace };

// The operating system's files, except that from the `failingFile`-th report
// on, the chosen step is refused after the temporary file exists (a disk that
// fills up, a flush that fails, a rename the file system refuses).
class RefusingFileSystem : public PosixReportFileSystem {
public:
    RefusingFileSystem(FailingStep step, std::string reason, int failingFile)
        : step(step), reason(std::move(reason)), failingFile(failingFile) {}

    std::optional<std::string> CreateTemporary(const std::string& folder,
                                               const std::string& fileName, int& handle,
                                               std::string& temporaryPath) override {
        auto result =
            PosixReportFileSystem::CreateTemporary(folder, fileName, handle, temporaryPath);
        ++created;
        temporaries.push_back(temporaryPath);
        return result;
    }
    std::optional<std::string> Write(int handle, std::string_view bytes) override {
        if (Failing(FailingStep::Write)) {
            // Part of the text reaches the disk before it is full.
            PosixReportFileSystem::Write(handle, bytes.substr(0, bytes.size() / 2));
            return reason;
        }
        return PosixReportFileSystem::Write(handle, bytes);
    }
    std::optional<std::string> Close(int handle) override {
        auto result = PosixReportFileSystem::Close(handle);
        return Failing(FailingStep::Close) ? std::optional<std::string>(reason) : result;
    }
    std::optional<std::string> Replace(const std::string& from,
                                       const std::string& target) override {
        if (Failing(FailingStep::Replace)) {
            return reason;
        }
        return PosixReportFileSystem::Replace(from, target);
    }

    std::vector<std::string> temporaries;

private:
    bool Failing(FailingStep at) const { return step == at && created >= failingFile; }

    FailingStep step;
    std::string reason;
    int failingFile;
    int created = 0;
};

struct ExportKind {
    const char* label;
    const char* button;
    const char* list;
    const char* suffix;
};

void PrintTo(const ExportKind& kind, std::ostream* os) {
    *os << kind.label;
}

constexpr ExportKind TimeHistoryExport{"timeHistory", "btnExportData", "lst1", "_TH.csv"};
constexpr ExportKind SpectraExport{"spectra", "btnExportSpectra", "lst3", "_RS.csv"};

class ReportWriteFault : public ::testing::Test {
protected:
    void SetUp() override {
        fs::remove_all(folder);
        fs::create_directories(folder / "in");
        fs::create_directories(out);
        QStringList files;
        for (const char* name : {"A.txt", "B.txt"}) {
            WriteBytes(folder / "in" / name, Motion(60));
            files << QString::fromStdString((folder / "in" / name).string());
        }
        window.ImportRecordFiles(ImportChoice{}, files);
        ASSERT_EQ(window.workspace().Records.size(), 2u);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(out, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(folder, ignored);
    }

    // Checks both records of the export's list and presses its button, with the
    // folder dialog answering `out`.
    void Export(const ExportKind& kind) {
        auto* list = window.findChild<QListWidget*>(kind.list);
        ASSERT_NE(list, nullptr);
        for (int row = 0; row < list->count(); ++row) {
            list->item(row)->setCheckState(Qt::Checked);
        }
        platform.folderAnswers.push_back(QString::fromStdString(out.string()));
        auto* button = window.findChild<QPushButton*>(kind.button);
        ASSERT_NE(button, nullptr);
        button->click();
    }

    const fs::path folder =
        fs::temp_directory_path() / ("vorsen-write-fault-" + std::to_string(::getpid()));
    const fs::path out = folder / "out";
    FakePlatform platform;
    TForm1 window{platform};
};

struct FaultCase {
    const char* label;
    ExportKind kind;
    FailingStep step;
    const char* reason;
};

void PrintTo(const FaultCase& c, std::ostream* os) {
    *os << c.label;
}

class RefusedReportWrite : public ReportWriteFault,
                           public ::testing::WithParamInterface<FaultCase> {};

TEST_P(RefusedReportWrite, KeepsTheOldFileAndStopsWithTheWarning) {
    const FaultCase& c = GetParam();
    const fs::path first = out / (std::string("A") + c.kind.suffix);
    const fs::path second = out / (std::string("B") + c.kind.suffix);
    WriteBytes(first, "old report of A\r\n");
    WriteBytes(second, "old report of B\r\n");
    // The first report goes through; the second is refused.
    RefusingFileSystem refusing(c.step, c.reason, 2);
    window.SetReportFileSystem(refusing);

    Export(c.kind);

    EXPECT_EQ(ReadBytes(first).rfind("Report generated by VORSEN", 0), 0u);
    EXPECT_EQ(ReadBytes(second), "old report of B\r\n");
    ASSERT_EQ(refusing.temporaries.size(), 2u);
    EXPECT_FALSE(fs::exists(refusing.temporaries[1]));
    EXPECT_EQ(Entries(out),
              (std::vector<std::string>{first.filename().string(), second.filename().string()}));
    EXPECT_EQ(platform.Texts("Warning"),
              (std::vector<QString>{QString::fromStdString("Cannot create file \"" +
                                                           second.string() + "\". " + c.reason)}));
    EXPECT_TRUE(platform.Texts("Information").empty()); // no "Done!"
    EXPECT_TRUE(platform.Texts("Message").empty());
}

INSTANTIATE_TEST_SUITE_P(
    Exports, RefusedReportWrite,
    ::testing::Values(
        FaultCase{"timeHistoryDiskFull", TimeHistoryExport, FailingStep::Write,
                  "No space left on device"},
        FaultCase{"timeHistoryFlush", TimeHistoryExport, FailingStep::Close, "Input/output error"},
        FaultCase{"timeHistoryRename", TimeHistoryExport, FailingStep::Replace,
                  "Permission denied"},
        FaultCase{"spectraDiskFull", SpectraExport, FailingStep::Write, "No space left on device"},
        FaultCase{"spectraFlush", SpectraExport, FailingStep::Close, "Input/output error"},
        FaultCase{"spectraRename", SpectraExport, FailingStep::Replace, "Permission denied"}),
    [](const auto& info) { return std::string(info.param.label); });

class ReadOnlyFolder : public ReportWriteFault, public ::testing::WithParamInterface<ExportKind> {};

TEST_P(ReadOnlyFolder, KeepsTheOldFileAndShowsTheSystemsReason) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root writes into read-only folders; the refusing file system covers "
                        "the same path";
    }
    const ExportKind& kind = GetParam();
    const fs::path first = out / (std::string("A") + kind.suffix);
    WriteBytes(first, "old report of A\r\n");
    fs::permissions(out, fs::perms::owner_read | fs::perms::owner_exec);

    Export(kind);

    fs::permissions(out, fs::perms::owner_all);
    EXPECT_EQ(ReadBytes(first), "old report of A\r\n");
    EXPECT_EQ(Entries(out), (std::vector<std::string>{first.filename().string()}));
    EXPECT_EQ(platform.Texts("Warning"),
              (std::vector<QString>{QString::fromStdString(
                  "Cannot create file \"" + first.string() + "\". Permission denied")}));
    EXPECT_TRUE(platform.Texts("Information").empty());
}

INSTANTIATE_TEST_SUITE_P(Exports, ReadOnlyFolder,
                         ::testing::Values(TimeHistoryExport, SpectraExport),
                         [](const auto& info) { return std::string(info.param.label); });

} // namespace
