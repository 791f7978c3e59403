#include "import/FreeFormatReader.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class LoadTextLinesTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("vorsen-load-" + std::to_string(::getpid()));
        fs::create_directories(folder_);
    }
    void TearDown() override {
        if (socket_ >= 0) {
            ::close(socket_);
        }
        fs::remove_all(folder_);
    }

    std::string MakeFifo() {
        std::string path = (folder_ / "pipe").string();
        EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0);
        return path;
    }

    std::string MakeSocket() {
        std::string path = (folder_ / "sock").string();
        socket_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (socket_ < 0 || path.size() >= sizeof address.sun_path) {
            return {};
        }
        path.copy(address.sun_path, path.size());
        if (::bind(socket_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
            return {};
        }
        return path;
    }

    fs::path folder_;
    int socket_ = -1;
};

// Anything but a regular file is refused at once, by what it is, and nothing
// is read from it: a named pipe with no writer would block forever and a
// device such as /dev/zero never ends.
TEST_F(LoadTextLinesTest, RefusesWhatIsNotARegularFile) {
    struct Case {
        const char* title;
        std::string path;
        const char* kind;
    };
    const std::vector<Case> cases = {
        {"named pipe", MakeFifo(), "a named pipe"},
        {"directory", folder_.string(), "a directory"},
        {"endless device", "/dev/zero", "a character device"},
        {"empty device", "/dev/null", "a character device"},
        {"socket", MakeSocket(), "a socket"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        if (c.path.empty()) {
            ADD_FAILURE() << "could not make the " << c.title;
            continue;
        }
        std::vector<std::string> lines = {"left as it was"};
        std::string detail;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(LoadTextLines(c.path, lines, detail));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
        EXPECT_EQ(detail,
                  "Cannot open file \"" + c.path + "\". It is not a regular file (" + c.kind + ")");
        EXPECT_EQ(lines, std::vector<std::string>{"left as it was"});
    }
}

// The reader's own warning carries the reason in the usual FILE/ERROR form.
TEST_F(LoadTextLinesTest, ReaderWarnsAboutAPipeInTheUsualForm) {
    const std::string path = MakeFifo();
    const ReadOutcome outcome = ReadRecordFile(path, FreeTypeParameters{});
    EXPECT_FALSE(outcome.Record);
    EXPECT_EQ(outcome.Warning, "FILE : pipe , ERROR: Cannot open file \"" + path +
                                   "\". It is not a regular file (a named pipe)");
}

// A file whose reading would need more than the machine's memory is refused
// from its size alone, before any of it is read (a sparse file of that size
// takes no room on disk).
TEST_F(LoadTextLinesTest, RefusesAFileTooLargeForMemoryBeforeReading) {
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGE_SIZE);
    ASSERT_GT(pages, 0);
    ASSERT_GT(pageSize, 0);
    const auto memory = std::uint64_t(pages) * std::uint64_t(pageSize);
    const std::string path = (folder_ / "huge.txt").string();
    { std::ofstream(path) << "0.1\n"; }
    std::error_code error;
    fs::resize_file(path, memory / 2, error);
    if (error) {
        GTEST_SKIP() << "no sparse file of " << memory / 2 << " bytes: " << error.message();
    }
    std::vector<std::string> lines;
    std::string detail;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(LoadTextLines(path, lines, detail));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(detail.rfind("Cannot open file \"" + path + "\". The file is too large to read: ", 0),
              0U)
        << detail;
    EXPECT_TRUE(lines.empty());
}

// A regular file is read whole, whatever the size of its blocks, with every
// kind of line break.
TEST_F(LoadTextLinesTest, ReadsARegularFileWhole) {
    const std::string path = (folder_ / "rows.txt").string();
    std::string text;
    std::vector<std::string> expected;
    for (int k = 0; k < 30000; ++k) {
        expected.push_back(std::to_string(k * 0.001));
        text += expected.back() + (k % 3 == 0 ? "\r\n" : k % 3 == 1 ? "\n" : "\r");
    }
    { std::ofstream(path, std::ios::binary) << text; }
    std::vector<std::string> lines;
    std::string detail;
    ASSERT_TRUE(LoadTextLines(path, lines, detail)) << detail;
    EXPECT_EQ(lines, expected);
    // An empty file has no lines.
    { std::ofstream(path, std::ios::binary | std::ios::trunc); }
    ASSERT_TRUE(LoadTextLines(path, lines, detail)) << detail;
    EXPECT_TRUE(lines.empty());
}

} // namespace
