#include "import/FreeFormatReader.h"

#include "import/RecordFormat.h"
#include "record/RecordName.h"
#include "text/NumberText.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>

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
    std::vector<std::string> lines;
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

bool LoadTextLines(const std::string& path, std::vector<std::string>& lines, std::string& detail) {
    auto fail = [&](int error) {
        detail = "Cannot open file \"" + path + "\". " +
                 (error != 0 ? std::string(std::strerror(error)) : "The file cannot be read");
        return false;
    };
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return fail(errno);
    }
    std::string content;
    char buffer[1 << 16];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        content.append(buffer, got);
    }
    const bool failed = std::ferror(file) != 0;
    const int error = errno;
    std::fclose(file);
    if (failed) {
        return fail(error);
    }
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
