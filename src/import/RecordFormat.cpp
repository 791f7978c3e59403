#include "import/RecordFormat.h"

#include "import/CosmosReader.h"
#include "import/EsmReader.h"
#include "import/FreeTypeFormat.h"
#include "import/GeoNetReader.h"
#include "import/KnetReader.h"
#include "import/PeerNgaReader.h"
#include "import/SmcReader.h"
#include "text/NumberText.h"

#include <algorithm>

#include <cmath>

const std::vector<const RecordFormat*>& RecordFormats() {
    static const std::vector<const RecordFormat*> formats = {
        &FreeTypeFormat(), &PeerNgaFormat(), &KnetFormat(),  &CosmosFormat(),
        &EsmFormat(),      &SmcFormat(),     &GeoNetFormat()};
    return formats;
}

const RecordFormat& GetRecordFormat(RecordFormatId id) {
    for (const RecordFormat* format : RecordFormats()) {
        if (format->Id() == id) {
            return *format;
        }
    }
    return FreeTypeFormat();
}

const RecordFormat* FindRecordFormat(std::string_view key) {
    for (const RecordFormat* format : RecordFormats()) {
        if (format->Key() == key) {
            return format;
        }
    }
    return nullptr;
}

const RecordFormat* DetectStandardFormat(const std::vector<std::string>& lines) {
    for (const RecordFormat* format : RecordFormats()) {
        if (format->Id() != RecordFormatId::FreeType && format->Recognises(lines)) {
            return format;
        }
    }
    return nullptr;
}

double AccelerationToG(double value, AccelerationUnits units, double gravity) {
    switch (units) {
    case AccelerationUnits::G:
        return value;
    case AccelerationUnits::CmPerS2:
        return value / gravity;
    case AccelerationUnits::MmPerS2:
        return value / 10.0 / gravity;
    case AccelerationUnits::MPerS2:
        return value * 100.0 / gravity;
    }
    return value;
}

std::optional<RowFailure> ReadSamplesInG(const std::vector<std::string>& lines, std::size_t first,
                                         DOUBLEVECTOR& samples, std::size_t limit,
                                         AccelerationUnits units, double gravity) {
    for (std::size_t j = first; j < lines.size(); ++j) {
        const std::size_t before = samples.size();
        if (std::optional<RowFailure> failure =
                ReadBlankSeparatedValues(lines, j, j + 1, samples, limit)) {
            return failure;
        }
        for (std::size_t k = before; k < samples.size(); ++k) {
            samples[k] = AccelerationToG(samples[k], units, gravity);
            if (!std::isfinite(samples[k])) {
                return RowFailure{j, "Floating point overflow"};
            }
        }
    }
    return std::nullopt;
}

std::string_view AccelerationUnitsText(AccelerationUnits units) {
    switch (units) {
    case AccelerationUnits::G:
        return "g";
    case AccelerationUnits::CmPerS2:
        return "cm/s²";
    case AccelerationUnits::MmPerS2:
        return "mm/s²";
    case AccelerationUnits::MPerS2:
        return "m/s²";
    }
    return "g";
}

std::optional<AccelerationUnits> ParseAccelerationUnits(std::string_view text) {
    std::string unit;
    for (const char c : text) {
        if (static_cast<unsigned char>(c) > 32 && c != '(' && c != ')') {
            unit += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        }
    }
    if (unit == "g") {
        return AccelerationUnits::G;
    }
    if (unit == "gal" || unit == "gals") {
        return AccelerationUnits::CmPerS2;
    }
    const std::size_t slash = unit.find('/');
    if (slash == std::string::npos) {
        return std::nullopt;
    }
    const std::string length = unit.substr(0, slash);
    const std::string perTime = unit.substr(slash + 1);
    const bool squaredSeconds = perTime == "s^2" || perTime == "s2" || perTime == "s**2" ||
                                perTime == "s/s" || perTime == "sec^2" || perTime == "sec2" ||
                                perTime == "sec**2" || perTime == "sec/sec" || perTime == "s²";
    if (!squaredSeconds) {
        return std::nullopt;
    }
    if (length == "cm") {
        return AccelerationUnits::CmPerS2;
    }
    if (length == "mm") {
        return AccelerationUnits::MmPerS2;
    }
    if (length == "m") {
        return AccelerationUnits::MPerS2;
    }
    return std::nullopt;
}

std::string ReadStatedSamplesInG(const std::string& name, const std::vector<std::string>& lines,
                                 std::size_t first, std::size_t stated, std::string_view countName,
                                 std::size_t valuesPerLine, AccelerationUnits units, double gravity,
                                 DOUBLEVECTOR& samples) {
    samples.reserve(std::min(stated, lines.size() * valuesPerLine));
    if (const std::optional<RowFailure> failure =
            ReadSamplesInG(lines, first, samples, stated, units, gravity)) {
        return LineWarning(name, failure->Line + 1, failure->Detail);
    }
    if (samples.size() != stated) {
        return FileWarning(name, "the file holds " + std::to_string(samples.size()) +
                                     " values, fewer than its header states (" +
                                     std::string(countName) + " = " + std::to_string(stated) + ")");
    }
    return {};
}

std::string LineWarning(const std::string& name, std::size_t line, const std::string& detail) {
    return "FILE: " + name + ". ERROR Line: " + std::to_string(line) + ". ERROR: " + detail;
}

std::string FileWarning(const std::string& name, const std::string& detail) {
    return "FILE: " + name + ", WARNING: " + detail;
}

std::string ComponentRecordName(const std::string& fileName, std::string_view label) {
    std::string clean;
    for (const char c : label) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
            clean += c;
        }
    }
    const std::size_t dot = fileName.find_last_of('.');
    if (dot == std::string::npos || dot == 0) {
        return fileName + "-" + clean;
    }
    return fileName.substr(0, dot) + "-" + clean + fileName.substr(dot);
}

std::string_view TrimLine(std::string_view line) {
    std::size_t begin = 0;
    std::size_t end = line.size();
    while (begin < end && static_cast<unsigned char>(line[begin]) <= 32) {
        ++begin;
    }
    while (end > begin && static_cast<unsigned char>(line[end - 1]) <= 32) {
        --end;
    }
    return line.substr(begin, end - begin);
}

namespace {

// The length of the UTF-8 character that starts text[at], or 0 when the bytes
// there are not one (a stray continuation byte, an overlong form, a surrogate,
// beyond U+10FFFF or cut short).
std::size_t Utf8CharacterLength(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() - at < length || byte(1) < low || byte(1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) {
            return 0;
        }
    }
    return length;
}

void AppendEscapedByte(std::string& out, unsigned char c) {
    static constexpr char Hex[] = "0123456789abcdef";
    switch (c) {
    case '\t':
        out += "\\t";
        return;
    case '\n':
        out += "\\n";
        return;
    case '\r':
        out += "\\r";
        return;
    default:
        out += "\\x";
        out += Hex[c >> 4U];
        out += Hex[c & 0x0FU];
        return;
    }
}

} // namespace

std::string QuoteFileText(std::string_view text) {
    std::string out = "'";
    std::size_t at = 0;
    for (std::size_t shown = 0; at < text.size() && shown < QuotedFileTextLength; ++shown) {
        const auto c = static_cast<unsigned char>(text[at]);
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
            ++at;
            continue;
        }
        const std::size_t length = c < 0x80 ? 0 : Utf8CharacterLength(text, at);
        // U+0080..U+009F, the C1 controls, are escaped byte by byte like the C0 ones.
        const bool c1 = length == 2 && c == 0xC2 && static_cast<unsigned char>(text[at + 1]) < 0xA0;
        if (length == 0 || c1) {
            const std::size_t bytes = c1 ? 2 : 1;
            for (std::size_t i = 0; i < bytes; ++i) {
                AppendEscapedByte(out, static_cast<unsigned char>(text[at + i]));
            }
            at += bytes;
            continue;
        }
        out.append(text.substr(at, length));
        at += length;
    }
    if (at < text.size()) {
        out += "\u2026";
    }
    out += '\'';
    return out;
}

std::string HeaderText(std::string_view text) {
    const std::string_view trimmed = TrimLine(text);
    std::string result;
    result.reserve(trimmed.size());
    bool blank = false;
    for (const char c : trimmed) {
        if (static_cast<unsigned char>(c) <= 32) {
            blank = true;
            continue;
        }
        if (blank) {
            result += ' ';
            blank = false;
        }
        result += c;
    }
    return result;
}

std::size_t FindNoCase(std::string_view text, std::string_view word, std::size_t from) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    for (std::size_t i = from; i <= text.size() && word.size() <= text.size() - i; ++i) {
        std::size_t k = 0;
        while (k < word.size() && lower(text[i + k]) == lower(word[k])) {
            ++k;
        }
        if (k == word.size()) {
            return i;
        }
    }
    return std::string_view::npos;
}

std::unique_ptr<TimeHistory> MakeRecord(std::string name, double dt, const DOUBLEVECTOR& samples,
                                        RecordInfo info) {
    auto record = std::make_unique<TimeHistory>(std::move(name), dt);
    record->GetAcceleration().reserve(samples.size());
    for (const double value : samples) {
        record->AddAcceleration(value);
    }
    record->SetInfo(std::move(info));
    return record;
}

std::string DescribeRecord(const TimeHistory& record) {
    const RecordInfo& info = record.GetInfo();
    const std::string separator = " · ";
    std::string text = info.Format.empty() ? std::string("Free Type") : info.Format;
    text += separator + FormatGeneral(record.GetDt()) + " s";
    text += separator + std::to_string(record.Count()) + " samples";
    if (!info.SourceUnits.empty()) {
        text += separator + info.SourceUnits;
    }
    std::string place = info.Station;
    if (!info.Component.empty()) {
        place += (place.empty() ? "comp " : ", comp ") + info.Component;
    }
    if (!place.empty()) {
        text += separator + place;
    }
    if (!info.EventTime.empty()) {
        text += separator + info.EventTime;
    }
    if (!info.StatedPeak.empty()) {
        text += separator + "stated peak " + info.StatedPeak;
    }
    return text;
}
