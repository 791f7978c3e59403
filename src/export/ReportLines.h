#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The lines of a report as the file will hold them: every line followed by
// CR LF, 8-bit text, no byte-order mark. The text is kept in blocks of about a
// megabyte holding whole lines, so that a report of a million samples needs
// neither a million separate strings nor one huge reallocated buffer.
class ReportLines {
public:
    // Appends one line; `line` holds no line end.
    void Add(std::string_view line);

    std::size_t Count() const { return lines.size(); }
    bool Empty() const { return lines.empty(); }

    // Line i (0-based) without its CR LF.
    std::string_view Line(std::size_t i) const;

    // The file's bytes, block by block, in order.
    const std::vector<std::string>& Blocks() const { return blocks; }

    // The whole file text in one string (for tests and small reports).
    std::string Text() const;

    // All lines as separate strings, without line ends.
    std::vector<std::string> ToVector() const;

private:
    struct Span {
        std::uint32_t Block;
        std::uint32_t Offset;
        std::uint32_t Length; // without CR LF
    };
    std::vector<std::string> blocks;
    std::vector<Span> lines;
};

// The lines of a list, in order.
ReportLines MakeReportLines(const std::vector<std::string>& lines);
