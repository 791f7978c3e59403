#include "import/FreeFormatReader.h"

#include "import/RecordFormat.h"
#include "record/RecordName.h"
#include "text/NumberText.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool IsStripped(unsigned char c) {
    return c <= 32;
}

std::string_view Strip(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsStripped(static_cast<unsigned char>(text[begin]))) {
        ++begin;
    }
    while (end > begin && IsStripped(static_cast<unsigned char>(text[end - 1]))) {
        --end;
    }
    return text.substr(begin, end - begin);
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD, a trailing odd byte is dropped.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    std::string out;
    out.reserve(bytes.size() / 2);
    const std::size_t units = bytes.size() / 2;
    auto unit = [&](std::size_t i) -> char32_t {
        const auto b0 = static_cast<unsigned char>(bytes[2 * i]);
        const auto b1 = static_cast<unsigned char>(bytes[2 * i + 1]);
        return bigEndian ? (char32_t(b0) << 8 | b1) : (char32_t(b1) << 8 | b0);
    };
    for (std::size_t i = 0; i < units; ++i) {
        char32_t c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units) {
            const char32_t low = unit(i + 1);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            } else {
                c = 0xFFFD;
            }
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        AppendUtf8(out, c);
    }
    return out;
}

// One field starting at `pos` (which is not a separator). Advances pos past it.
std::string TakeField(std::string_view line, std::size_t& pos, FieldDelimiter delimiter) {
    auto isSeparator = [delimiter](unsigned char c) {
        return delimiter == FieldDelimiter::Comma ? c == ',' : (c >= 1 && c <= 32);
    };
    std::string field;
    if (pos < line.size() && line[pos] == '"') {
        // Quoted: runs to the matching closing quote; "" stands for one quote.
        ++pos;
        while (pos < line.size()) {
            if (line[pos] == '"') {
                if (pos + 1 < line.size() && line[pos + 1] == '"') {
                    field += '"';
                    pos += 2;
                    continue;
                }
                ++pos; // closing quote; what follows it forms a further field
                return field;
            }
            field += line[pos++];
        }
        return field;
    }
    while (pos < line.size() && !isSeparator(static_cast<unsigned char>(line[pos]))) {
        field += line[pos++];
    }
    return field;
}

} // namespace

std::vector<std::string> SplitTextLines(std::string_view bytes) {
    std::string decoded;
    std::string_view text = bytes;
    if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    } else if (text.size() >= 2 && text.substr(0, 2) == "\xFF\xFE") {
        decoded = Utf16ToUtf8(text.substr(2), false);
        text = decoded;
    } else if (text.size() >= 2 && text.substr(0, 2) == "\xFE\xFF") {
        decoded = Utf16ToUtf8(text.substr(2), true);
        text = decoded;
    }
    const std::size_t nul = text.find('\0');
    if (nul != std::string_view::npos) {
        text = text.substr(0, nul);
    }
    // Counting the breaks first lets the lines be stored without the vector
    // growing (and copying) on the way, which would briefly need half as much
    // again.
    std::size_t breaks = 0;
    for (std::size_t k = 0; k < text.size(); ++k) {
        if (text[k] == '\n' || (text[k] == '\r' && (k + 1 == text.size() || text[k + 1] != '\n'))) {
            ++breaks;
        }
    }
    std::vector<std::string> lines;
    lines.reserve(breaks + 1);
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.emplace_back(text.substr(start, i - start));
            i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < text.size()) {
        lines.emplace_back(text.substr(start));
    }
    return lines;
}

namespace {

// Reading a text file costs its bytes once for the text and again for the
// lines (one std::string of 32 bytes per line, plus the line's characters
// when they do not fit in the string itself), and the record's samples come
// on top. Measured on files of every layout this is at most about 8 times
// the file's size; a file is refused before any reading when that much would
// exceed the machine's physical memory.
constexpr std::uint64_t ReadMemoryFactor = 8;

std::uint64_t PhysicalMemoryBytes() {
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || pageSize <= 0) {
        return 0; // unknown: no bound
    }
    return std::uint64_t(pages) * std::uint64_t(pageSize);
}

std::string Megabytes(std::uint64_t bytes) {
    return std::to_string((bytes + (1u << 20) - 1) >> 20) + " MB";
}

const char* KindOfFile(mode_t mode) {
    if (S_ISFIFO(mode)) {
        return "a named pipe";
    }
    if (S_ISCHR(mode)) {
        return "a character device";
    }
    if (S_ISBLK(mode)) {
        return "a block device";
    }
    if (S_ISDIR(mode)) {
        return "a directory";
    }
    if (S_ISSOCK(mode)) {
        return "a socket";
    }
    return "an unknown kind of file";
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int Get() const { return fd_; }

private:
    int fd_;
};

} // namespace

bool LoadTextLines(const std::string& path, std::vector<std::string>& lines, std::string& detail) {
    auto fail = [&](const std::string& reason) {
        detail = "Cannot open file \"" + path + "\". " + reason;
        return false;
    };
    auto failErrno = [&](int error) {
        return fail(error != 0 ? std::string(std::strerror(error)) : "The file cannot be read");
    };
    auto notRegular = [&](mode_t mode) {
        return fail(std::string("It is not a regular file (") + KindOfFile(mode) + ")");
    };
    // Non-blocking, so that opening a named pipe returns at once; the kind of
    // file is then taken from the open descriptor itself, never from the path.
    errno = 0;
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.Get() < 0) {
        const int error = errno;
        // A socket cannot be opened at all (ENXIO); say what it is.
        struct stat info {};
        if (error == ENXIO && ::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
            return notRegular(info.st_mode);
        }
        return failErrno(error);
    }
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0) {
        return failErrno(errno);
    }
    if (!S_ISREG(info.st_mode)) {
        return notRegular(info.st_mode);
    }
    const auto size = std::uint64_t(info.st_size > 0 ? info.st_size : 0);
    const std::uint64_t memory = PhysicalMemoryBytes();
    const std::uint64_t limit =
        memory > 0 ? memory / ReadMemoryFactor : std::numeric_limits<std::uint64_t>::max();
    auto tooLarge = [&](std::uint64_t bytes) {
        return fail("The file is too large to read: " + Megabytes(bytes) + " would need about " +
                    Megabytes(bytes * ReadMemoryFactor) + " of memory, and this machine has " +
                    Megabytes(memory));
    };
    if (size > limit || size > std::numeric_limits<std::size_t>::max() / ReadMemoryFactor) {
        return tooLarge(size);
    }
    // One buffer of the file's size; a file that grows while it is read keeps
    // being read, within the same bound.
    std::string content;
    content.resize(static_cast<std::size_t>(size));
    std::size_t filled = 0;
    while (true) {
        if (filled == content.size()) {
            if (content.size() >= limit) {
                return tooLarge(content.size() + 1);
            }
            content.resize(content.size() +
                           std::min<std::size_t>(1u << 16, limit - content.size()));
        }
        const ssize_t got = ::read(file.Get(), content.data() + filled, content.size() - filled);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return failErrno(errno);
        }
        if (got == 0) {
            break;
        }
        filled += static_cast<std::size_t>(got);
    }
    content.resize(filled);
    lines = SplitTextLines(content);
    return true;
}

std::vector<std::string> SplitFields(std::string_view line, FieldDelimiter delimiter) {
    const std::string_view text = Strip(line);
    std::vector<std::string> fields;
    if (text.empty()) {
        return fields;
    }
    std::size_t pos = 0;
    if (delimiter == FieldDelimiter::Comma) {
        // Strict: every comma separates, so ",," is an empty field and a comma
        // at either end makes an empty first or last field.
        while (true) {
            fields.push_back(TakeField(text, pos, delimiter));
            if (pos >= text.size()) {
                break;
            }
            if (text[pos] == ',') {
                ++pos;
                if (pos >= text.size()) {
                    fields.emplace_back();
                    break;
                }
            }
        }
    } else {
        // Loose: every run of characters 1..32 separates; the stripped line
        // neither starts nor ends with one.
        while (pos < text.size()) {
            fields.push_back(TakeField(text, pos, delimiter));
            while (pos < text.size() && static_cast<unsigned char>(text[pos]) >= 1 &&
                   static_cast<unsigned char>(text[pos]) <= 32) {
                ++pos;
            }
        }
    }
    return fields;
}

std::size_t DataLinesEnd(const std::vector<std::string>& lines, std::size_t first) {
    std::size_t end = lines.size();
    while (end > first && Strip(lines[end - 1]).empty()) {
        --end;
    }
    return end;
}

std::string RecordNameFromPath(const std::string& path) {
    return FileNameOfPath(path);
}

ReadOutcome ReadRecordLines(const std::string& name, const std::vector<std::string>& lines,
                            const FreeTypeParameters& parameters, char decimalSeparator) {
    ReadOutcome outcome;
    auto record = std::make_unique<TimeHistory>(name, parameters.TimeStep);
    const std::size_t first = parameters.LinesToSkip > 0 ? std::size_t(parameters.LinesToSkip) : 0;
    const std::size_t end = DataLinesEnd(lines, first);
    const int fieldIndex = parameters.AccelerationColumn - 1;
    for (std::size_t j = first; j < end; ++j) {
        const std::vector<std::string> fields = SplitFields(lines[j], parameters.Delimiter);
        std::string detail;
        if (fieldIndex < 0 || static_cast<std::size_t>(fieldIndex) >= fields.size()) {
            detail = "List index out of bounds (" + std::to_string(fieldIndex) + ")";
        } else {
            const std::string_view field = Strip(fields[static_cast<std::size_t>(fieldIndex)]);
            const std::optional<double> value = ParseUserNumber(field, decimalSeparator);
            if (value) {
                // A scaling factor can carry a number that converts beyond the
                // range of doubles: that is an overflow, not an infinite sample.
                const double acceleration = *value * parameters.ScalingFactor; // g
                if (std::isfinite(acceleration)) {
                    record->AddAcceleration(acceleration);
                    continue;
                }
                detail = "Floating point overflow";
            } else {
                detail = QuoteFileText(field) + " is not a valid floating point value";
            }
        }
        outcome.Warning = LineWarning(name, j + 1, detail);
        return outcome;
    }
    if (record->Count() == 0) {
        outcome.Warning =
            "FILE: " + name + ", WARNING: Skipline is too large, there is no data to read!";
        return outcome;
    }
    outcome.Record = std::move(record);
    return outcome;
}

ReadOutcome ReadRecordFile(const std::string& path, const FreeTypeParameters& parameters,
                           char decimalSeparator) {
    const std::string name = RecordNameFromPath(path);
    std::vector<std::string> lines;
    std::string detail;
    if (!LoadTextLines(path, lines, detail)) {
        ReadOutcome outcome;
        outcome.Warning = "FILE : " + name + " , ERROR: " + detail;
        return outcome;
    }
    return ReadRecordLines(name, lines, parameters, decimalSeparator);
}
