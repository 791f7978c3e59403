#pragma once

#include "export/ReportLines.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The file operations a report write needs, so that tests can stand in a file
// system that fails at any step. Every operation returns nullopt on success or
// the operating system's reason ("Permission denied", "No space left on
// device").
class ReportFileSystem {
public:
    virtual ~ReportFileSystem() = default;

    // Creates a new, empty file with a name of its own choosing in `folder`
    // (derived from `fileName`), opened for writing. On success sets `handle`
    // and `temporaryPath`.
    virtual std::optional<std::string> CreateTemporary(const std::string& folder,
                                                       const std::string& fileName, int& handle,
                                                       std::string& temporaryPath) = 0;

    // Appends all of `bytes` to the open file.
    virtual std::optional<std::string> Write(int handle, std::string_view bytes) = 0;

    // Flushes the file to the disk and closes the handle (also on failure).
    virtual std::optional<std::string> Close(int handle) = 0;

    // Puts `from` in the place of `target` in one step, replacing an existing
    // file. Refuses to replace a file that could not be opened for writing (a
    // read-only or locked report stays as it is).
    virtual std::optional<std::string> Replace(const std::string& from,
                                               const std::string& target) = 0;

    // Removes a file; failures are ignored.
    virtual void Remove(const std::string& path) = 0;
};

// The operating system's files (POSIX calls). Files are created with mode 0666
// less the process's umask, like any file the user writes.
class PosixReportFileSystem : public ReportFileSystem {
public:
    std::optional<std::string> CreateTemporary(const std::string& folder,
                                               const std::string& fileName, int& handle,
                                               std::string& temporaryPath) override;
    std::optional<std::string> Write(int handle, std::string_view bytes) override;
    std::optional<std::string> Close(int handle) override;
    std::optional<std::string> Replace(const std::string& from, const std::string& target) override;
    void Remove(const std::string& path) override;
};

// The file system reports are written to unless a caller passes another.
ReportFileSystem& DefaultReportFileSystem();

// Writes a report to `path` as one piece: the whole text goes to a temporary
// file in the same folder, which then replaces any existing file of that name.
// On any failure the temporary file is removed, an existing file is left as it
// was, and the result is the message the user sees:
//     Cannot create file "<path>". <reason>
std::optional<std::string>
WriteReportFile(const std::string& path, const ReportLines& lines,
                ReportFileSystem& fileSystem = DefaultReportFileSystem());

std::optional<std::string>
WriteReportFile(const std::string& path, const std::vector<std::string>& lines,
                ReportFileSystem& fileSystem = DefaultReportFileSystem());
