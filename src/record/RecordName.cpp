#include "record/RecordName.h"

#include <cstddef>

namespace {

constexpr const char* PathSeparators = "/\\";

} // namespace

std::string FileNameOfPath(const std::string& path) {
    const std::size_t separator = path.find_last_of(PathSeparators);
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string FolderOfPath(const std::string& path) {
    const std::size_t separator = path.find_last_of(PathSeparators);
    if (separator == std::string::npos) {
        return ".";
    }
    return path.substr(0, separator == 0 ? 1 : separator);
}
