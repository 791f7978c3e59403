#include "import/ValueRows.h"

#include "import/RecordFormat.h"
#include "text/NumberText.h"

#include <algorithm>
#include <cmath>

namespace {

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

std::string_view Trim(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && IsBlank(text[end - 1])) {
        --end;
    }
    return text.substr(begin, end - begin);
}

std::string NotANumber(std::string_view field) {
    return QuoteFileText(field) + " is not a valid floating point value";
}

} // namespace

std::optional<double> ParseFieldNumber(std::string_view text) {
    const std::string_view field = Trim(text);
    std::optional<double> value = ParseNumber(field, '.');
    if (!value && field.find_first_of("dD") != std::string_view::npos) {
        // Fortran's double-precision exponent: 1.5D+02. Tried only once the
        // plain form failed, so that the common field costs one conversion.
        std::string copy(field);
        for (char& c : copy) {
            if (c == 'd' || c == 'D') {
                c = 'E';
            }
        }
        value = ParseNumber(copy, '.');
    }
    if (value && !std::isfinite(*value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<RowFailure> ReadBlankSeparatedValues(const std::vector<std::string>& lines,
                                                   std::size_t first, std::size_t last,
                                                   DOUBLEVECTOR& values, std::size_t limit) {
    const std::size_t end = last < lines.size() ? last : lines.size();
    for (std::size_t j = first; j < end; ++j) {
        const std::string_view line = lines[j];
        std::size_t pos = 0;
        while (pos < line.size()) {
            while (pos < line.size() && IsBlank(line[pos])) {
                ++pos;
            }
            if (pos >= line.size()) {
                break;
            }
            const std::size_t start = pos;
            while (pos < line.size() && !IsBlank(line[pos])) {
                ++pos;
            }
            const std::string_view field = line.substr(start, pos - start);
            const std::optional<double> value = ParseFieldNumber(field);
            if (!value) {
                return RowFailure{j, NotANumber(field)};
            }
            if (values.size() >= limit) {
                return RowFailure{j, "more values than the header states (" +
                                         std::to_string(limit) + ")"};
            }
            values.push_back(*value);
        }
    }
    return std::nullopt;
}

std::optional<FortranLayout> ParseFortranLayout(std::string_view text) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    auto digits = [&](int& out) {
        const std::size_t start = i;
        long long value = 0;
        while (i < n && text[i] >= '0' && text[i] <= '9') {
            if (value < 1000) {
                value = value * 10 + (text[i] - '0');
            }
            ++i;
        }
        out = static_cast<int>(value);
        return i > start;
    };
    while (i < n) {
        // Find "<count><letter><width>".
        if (text[i] < '0' || text[i] > '9' || (i > 0 && text[i - 1] >= '0' && text[i - 1] <= '9')) {
            ++i;
            continue;
        }
        const std::size_t start = i;
        int count = 0;
        digits(count);
        if (i < n) {
            const char letter = static_cast<char>(text[i] & ~0x20);
            if (letter == 'F' || letter == 'E' || letter == 'G' || letter == 'D' || letter == 'I') {
                ++i;
                int width = 0;
                if (digits(width)) {
                    if (count >= 1 && count <= 100 && width >= 1 && width <= 40) {
                        return FortranLayout{count, width};
                    }
                    return std::nullopt;
                }
            }
        }
        i = start + 1;
        while (i < n && text[i] >= '0' && text[i] <= '9') {
            ++i;
        }
    }
    return std::nullopt;
}

std::optional<RowFailure> ReadFixedWidthValues(const std::vector<std::string>& lines,
                                               std::size_t first, std::size_t count,
                                               const FortranLayout& layout, DOUBLEVECTOR& values,
                                               std::size_t& next) {
    const std::size_t width = static_cast<std::size_t>(layout.Width);
    const std::size_t perRow = static_cast<std::size_t>(layout.PerRow);
    if (layout.PerRow <= 0 || layout.Width <= 0) {
        // No field to read: a layout that does not come from ParseFortranLayout.
        next = first;
        return RowFailure{first, "the layout has no fields"};
    }
    std::size_t read = 0;
    std::size_t j = first;
    // The header's count is not trusted for the reservation: a garbled count
    // must not reserve more than the remaining lines can hold.
    const std::size_t remaining = first < lines.size() ? lines.size() - first : 0;
    const std::size_t room = std::min(count, remaining * perRow);
    values.reserve(values.size() + room);
    while (read < count) {
        if (j >= lines.size()) {
            next = j;
            return RowFailure{lines.empty() ? 0 : lines.size() - 1,
                              "the file ends after " + std::to_string(read) + " of " +
                                  std::to_string(count) + " values"};
        }
        const std::string_view line = lines[j];
        const std::size_t inRow = count - read < perRow ? count - read : perRow;
        for (std::size_t k = 0; k < inRow; ++k) {
            const std::size_t start = k * width;
            if (start >= line.size() || Trim(line.substr(start, width)).empty()) {
                next = j + 1;
                return RowFailure{j, "the row holds " + std::to_string(k) + " of its " +
                                         std::to_string(inRow) + " values"};
            }
            const std::string_view field = line.substr(start, width);
            const std::optional<double> value = ParseFieldNumber(field);
            if (!value) {
                next = j + 1;
                return RowFailure{j, NotANumber(Trim(field))};
            }
            values.push_back(*value);
        }
        read += inRow;
        ++j;
    }
    next = j;
    return std::nullopt;
}

std::optional<RowFailure> CheckShortLastRow(const std::vector<std::string>& lines,
                                            std::size_t first, std::size_t count,
                                            const FortranLayout& layout) {
    const std::size_t perRow = static_cast<std::size_t>(layout.PerRow);
    const std::size_t width = static_cast<std::size_t>(layout.Width);
    if (count == 0 || perRow == 0 || count % perRow == 0) {
        return std::nullopt;
    }
    const std::size_t last = first + (count - 1) / perRow;
    if (last >= lines.size()) {
        return std::nullopt;
    }
    const std::size_t end = (count % perRow) * width;
    const std::string_view line = lines[last];
    if (end < line.size() && !Trim(line.substr(end)).empty()) {
        return RowFailure{last,
                          "more values than the header states (" + std::to_string(count) + ")"};
    }
    return std::nullopt;
}
