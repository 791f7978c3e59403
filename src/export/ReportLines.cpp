#include "export/ReportLines.h"

namespace {

constexpr std::size_t BlockSize = std::size_t{1} << 20; // bytes

} // namespace

void ReportLines::Add(std::string_view line) {
    const std::size_t needed = line.size() + 2;
    if (blocks.empty() || blocks.back().size() + needed > blocks.back().capacity()) {
        blocks.emplace_back();
        blocks.back().reserve(needed > BlockSize ? needed : BlockSize);
    }
    std::string& block = blocks.back();
    lines.push_back(Span{static_cast<std::uint32_t>(blocks.size() - 1),
                         static_cast<std::uint32_t>(block.size()),
                         static_cast<std::uint32_t>(line.size())});
    block.append(line);
    block.append("\r\n", 2);
}

std::string_view ReportLines::Line(std::size_t i) const {
    const Span& span = lines.at(i);
    return std::string_view(blocks[span.Block]).substr(span.Offset, span.Length);
}

std::string ReportLines::Text() const {
    std::size_t total = 0;
    for (const std::string& block : blocks) {
        total += block.size();
    }
    std::string text;
    text.reserve(total);
    for (const std::string& block : blocks) {
        text += block;
    }
    return text;
}

std::vector<std::string> ReportLines::ToVector() const {
    std::vector<std::string> result;
    result.reserve(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        result.emplace_back(Line(i));
    }
    return result;
}

ReportLines MakeReportLines(const std::vector<std::string>& lines) {
    ReportLines result;
    for (const std::string& line : lines) {
        result.Add(line);
    }
    return result;
}
