#include "export/ReportWriter.h"

#include "record/RecordName.h"

#include <atomic>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace {

std::string Reason(int error) {
    return std::strerror(error);
}

std::atomic<unsigned> temporaryCounter{0};

} // namespace

std::optional<std::string> PosixReportFileSystem::CreateTemporary(const std::string& folder,
                                                                  const std::string& fileName,
                                                                  int& handle,
                                                                  std::string& temporaryPath) {
    const std::string prefix =
        (folder == "/" ? std::string("/") : folder + "/") + "." + fileName + ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate = prefix + std::to_string(::getpid()) + "-" +
                                      std::to_string(temporaryCounter.fetch_add(1)) + ".tmp";
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            handle = fd;
            temporaryPath = candidate;
            return std::nullopt;
        }
        if (errno != EEXIST) {
            return Reason(errno);
        }
    }
    return Reason(EEXIST);
}

std::optional<std::string> PosixReportFileSystem::Write(int handle, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(handle, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Reason(errno);
        }
        if (written == 0) {
            return Reason(EIO);
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return std::nullopt;
}

std::optional<std::string> PosixReportFileSystem::Close(int handle) {
    std::optional<std::string> failure;
    if (::fsync(handle) != 0 && errno != EINVAL && errno != EROFS) {
        failure = Reason(errno);
    }
    if (::close(handle) != 0 && !failure && errno != EINTR) {
        failure = Reason(errno);
    }
    return failure;
}

std::optional<std::string> PosixReportFileSystem::Replace(const std::string& from,
                                                          const std::string& target) {
    // An existing report that cannot be opened for writing stays: replacing it
    // by a rename would bypass its protection.
    const int existing = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (existing >= 0) {
        ::close(existing);
    } else if (errno != ENOENT) {
        return Reason(errno);
    }
    if (::rename(from.c_str(), target.c_str()) != 0) {
        return Reason(errno);
    }
    return std::nullopt;
}

void PosixReportFileSystem::Remove(const std::string& path) {
    ::unlink(path.c_str());
}

ReportFileSystem& DefaultReportFileSystem() {
    static PosixReportFileSystem fileSystem;
    return fileSystem;
}

std::optional<std::string> WriteReportFile(const std::string& path, const ReportLines& lines,
                                           ReportFileSystem& fileSystem) {
    auto fail = [&path](const std::string& reason) {
        return std::optional<std::string>("Cannot create file \"" + path + "\". " + reason);
    };
    int handle = -1;
    std::string temporaryPath;
    if (auto failure = fileSystem.CreateTemporary(FolderOfPath(path), FileNameOfPath(path), handle,
                                                  temporaryPath)) {
        return fail(*failure);
    }
    std::optional<std::string> failure;
    for (const std::string& block : lines.Blocks()) {
        failure = fileSystem.Write(handle, block);
        if (failure) {
            break;
        }
    }
    if (auto closeFailure = fileSystem.Close(handle); closeFailure && !failure) {
        failure = closeFailure;
    }
    if (!failure) {
        failure = fileSystem.Replace(temporaryPath, path);
    }
    if (failure) {
        fileSystem.Remove(temporaryPath);
        return fail(*failure);
    }
    return std::nullopt;
}

std::optional<std::string> WriteReportFile(const std::string& path,
                                           const std::vector<std::string>& lines,
                                           ReportFileSystem& fileSystem) {
    return WriteReportFile(path, MakeReportLines(lines), fileSystem);
}
